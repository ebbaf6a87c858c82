#include "core/remote/ftp/ListingParser.h"

#include <array>
#include <cstddef>
#include <limits>

// Servers send whatever they like, so nothing here throws, uses the locale or
// the machine's time zone, and every number is range-checked before use.

namespace tidewell::ftp {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Dates outside these years are treated as garbage; inside them the arithmetic
// below cannot overflow.
constexpr std::int64_t kMinYear = 1;
constexpr std::int64_t kMaxYear = 9999;

struct Civil {
    std::int64_t year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool AllDigits(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

// A non-empty run of decimal digits that fits in 64 bits.
std::optional<std::uint64_t> ParseUnsigned(std::string_view s) {
    if (!AllDigits(s)) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    for (char c : s) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (kMax - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

// Small fixed-width numbers such as "06" or "2019".
std::optional<int> ParseSmall(std::string_view s, std::size_t minDigits, std::size_t maxDigits) {
    if (s.size() < minDigits || s.size() > maxDigits || maxDigits > 9) {
        return std::nullopt;
    }
    auto value = ParseUnsigned(s);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

bool IsLeapYear(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(std::int64_t year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) {
        return 29;
    }
    return kDays[static_cast<std::size_t>(month - 1)];
}

bool IsValidDate(const Civil& d) {
    return d.year >= kMinYear && d.year <= kMaxYear && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.year, d.month);
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(const Civil& d) {
    const std::int64_t y = d.year - (d.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    Civil c;
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = yoe + era * 400 + (c.month <= 2 ? 1 : 0);
    return c;
}

// Seconds since the epoch, UTC; nullopt for impossible dates and times.
std::optional<std::int64_t> ToEpoch(const Civil& date, int hour, int minute, int second) {
    if (!IsValidDate(date) || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 60) {
        return std::nullopt;
    }
    return DaysFromCivil(date) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

std::string_view StripLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return line;
}

// Splits off blank-separated words from the front of a line, remembering where
// each one ends so the rest of the line can be taken verbatim.
class WordReader {
public:
    explicit WordReader(std::string_view line) : line_(line) {}

    std::optional<std::string_view> Next() {
        while (pos_ < line_.size() && IsBlank(line_[pos_])) {
            ++pos_;
        }
        if (pos_ >= line_.size()) {
            return std::nullopt;
        }
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !IsBlank(line_[pos_])) {
            ++pos_;
        }
        return line_.substr(start, pos_ - start);
    }

    std::size_t Position() const { return pos_; }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

// ---------------------------------------------------------------- MLSD

std::optional<std::int64_t> ParseMlsdTime(std::string_view v) {
    if (v.size() < 14) {
        return std::nullopt;
    }
    const std::string_view fraction = v.substr(14);
    if (!fraction.empty() &&
        (fraction[0] != '.' || (fraction.size() > 1 && !AllDigits(fraction.substr(1))))) {
        return std::nullopt;
    }
    const auto year = ParseSmall(v.substr(0, 4), 4, 4);
    const auto month = ParseSmall(v.substr(4, 2), 2, 2);
    const auto day = ParseSmall(v.substr(6, 2), 2, 2);
    const auto hour = ParseSmall(v.substr(8, 2), 2, 2);
    const auto minute = ParseSmall(v.substr(10, 2), 2, 2);
    const auto second = ParseSmall(v.substr(12, 2), 2, 2);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    return ToEpoch(Civil{*year, *month, *day}, *hour, *minute, *second);
}

// ---------------------------------------------------------------- Unix ls -l

constexpr std::array<std::string_view, 12> kMonths{"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};

std::optional<int> ParseMonthName(std::string_view word) {
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (EqualsNoCase(word, kMonths[i])) {
            return static_cast<int>(i + 1);
        }
    }
    return std::nullopt;
}

// "drwxr-xr-x", optionally followed by one ACL or attribute marker.
std::optional<char> ParseUnixMode(std::string_view word) {
    if (word.size() != 10 && word.size() != 11) {
        return std::nullopt;
    }
    const char type = word[0];
    if (std::string_view("-dlcbps").find(type) == std::string_view::npos) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < 10; ++i) {
        if (std::string_view("rwxsStTlL-").find(word[i]) == std::string_view::npos) {
            return std::nullopt;
        }
    }
    if (word.size() == 11 && std::string_view("+@.*").find(word[10]) == std::string_view::npos) {
        return std::nullopt;
    }
    return type;
}

// "1, 3" (two words) or "1,3": the major and minor numbers of a device file.
bool IsDeviceNumbers(std::string_view word) {
    const std::size_t comma = word.find(',');
    if (comma == std::string_view::npos) {
        return false;
    }
    const std::string_view major = word.substr(0, comma);
    const std::string_view minor = word.substr(comma + 1);
    return AllDigits(major) && (minor.empty() || AllDigits(minor));
}

// The year of a "Mon dd hh:mm" entry: the latest one that puts the date in
// the past. ls shows a time instead of a year for files of the last six months,
// so such a date is never next year's; a day of slack absorbs a server whose
// clock or time zone is ahead of ours.
std::optional<std::int64_t> ResolveRecentDate(int month, int day, int hour, int minute, std::int64_t now) {
    constexpr std::int64_t kFutureSlack = kSecondsPerDay;
    const std::int64_t nowDays = now / kSecondsPerDay - (now % kSecondsPerDay < 0 ? 1 : 0);
    const std::int64_t nowYear = CivilFromDays(nowDays).year;
    if (nowYear <= kMinYear || nowYear >= kMaxYear) {
        return std::nullopt;
    }
    for (std::int64_t year = nowYear + 1; year >= nowYear - 1; --year) {
        const auto when = ToEpoch(Civil{year, month, day}, hour, minute, 0);
        if (when && *when <= now + kFutureSlack) {
            return when;
        }
    }
    return std::nullopt; // Feb 29 with no leap year nearby
}

std::optional<ListEntry> ParseUnixLine(std::string_view line, std::int64_t now) {
    WordReader reader(line);
    const auto modeWord = reader.Next();
    if (!modeWord) {
        return std::nullopt;
    }
    const auto type = ParseUnixMode(*modeWord);
    if (!type) {
        return std::nullopt;
    }
    // Link count, owner and group are each optional on some servers, so the
    // date is found by its shape: month, day, then time or year.
    constexpr std::size_t kMaxWords = 9;
    std::array<std::string_view, kMaxWords> words{};
    std::array<std::size_t, kMaxWords> ends{};
    std::size_t count = 0;
    while (count < kMaxWords) {
        const auto word = reader.Next();
        if (!word) {
            break;
        }
        words[count] = *word;
        ends[count] = reader.Position();
        ++count;
    }
    const bool device = *type == 'c' || *type == 'b';
    for (std::size_t m = 1; m + 2 < count; ++m) {
        const auto month = ParseMonthName(words[m]);
        if (!month) {
            continue;
        }
        const auto day = ParseSmall(words[m + 1], 1, 2);
        if (!day || *day < 1 || *day > 31) {
            continue;
        }
        const std::string_view sizeWord = words[m - 1];
        std::uint64_t size = 0;
        if (device) {
            if (!AllDigits(sizeWord) && !IsDeviceNumbers(sizeWord)) {
                continue;
            }
        } else {
            const auto parsed = ParseUnsigned(sizeWord);
            if (!parsed) {
                continue;
            }
            size = *parsed;
        }
        const std::string_view timeWord = words[m + 2];
        std::optional<std::int64_t> modified;
        if (const std::size_t colon = timeWord.find(':'); colon != std::string_view::npos) {
            const auto hour = ParseSmall(timeWord.substr(0, colon), 1, 2);
            const auto minute = ParseSmall(timeWord.substr(colon + 1), 2, 2);
            if (!hour || !minute || *hour > 23 || *minute > 59) {
                continue;
            }
            if (*day > DaysInMonth(2000, *month)) {
                continue;
            }
            // Unknown when `now` is out of range or no nearby year has a Feb 29.
            modified = ResolveRecentDate(*month, *day, *hour, *minute, now).value_or(0);
        } else {
            const auto year = ParseSmall(timeWord, 4, 4);
            if (!year) {
                continue;
            }
            modified = ToEpoch(Civil{*year, *month, *day}, 0, 0, 0);
        }
        if (!modified) {
            continue;
        }
        // The name starts after the single blank that follows the time or year.
        const std::size_t nameStart = ends[m + 2] + 1;
        if (nameStart >= line.size()) {
            return std::nullopt;
        }
        std::string_view name = line.substr(nameStart);
        ListEntry entry;
        entry.isLink = *type == 'l';
        entry.isDirectory = *type == 'd';
        if (entry.isLink) {
            if (const std::size_t arrow = name.find(" -> "); arrow != std::string_view::npos) {
                name = name.substr(0, arrow);
            }
        }
        if (name.empty()) {
            return std::nullopt;
        }
        entry.name = std::string(name);
        entry.size = size;
        entry.modified = *modified;
        return entry;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- DOS / IIS

// "12-06-26", "1-5-2019" (month first) or "2019-01-15"; '/' works as well.
std::optional<Civil> ParseDosDate(std::string_view word) {
    if (word.size() < 6 || word.size() > 10) {
        return std::nullopt;
    }
    const std::size_t first = word.find_first_of("-/");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const char sep = word[first];
    const std::size_t second = word.find(sep, first + 1);
    if (second == std::string_view::npos || word.find(sep, second + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view a = word.substr(0, first);
    const std::string_view b = word.substr(first + 1, second - first - 1);
    const std::string_view c = word.substr(second + 1);
    Civil date;
    if (a.size() == 4) {
        const auto y = ParseSmall(a, 4, 4);
        const auto m = ParseSmall(b, 1, 2);
        const auto d = ParseSmall(c, 1, 2);
        if (!y || !m || !d) {
            return std::nullopt;
        }
        date = Civil{*y, *m, *d};
    } else {
        const auto m = ParseSmall(a, 1, 2);
        const auto d = ParseSmall(b, 1, 2);
        if (!m || !d || (c.size() != 2 && c.size() != 4)) {
            return std::nullopt;
        }
        const auto y = ParseSmall(c, 2, 4);
        if (!y) {
            return std::nullopt;
        }
        std::int64_t year = *y;
        if (c.size() == 2) {
            year += year < 70 ? 2000 : 1900;
        }
        date = Civil{year, *m, *d};
    }
    if (!IsValidDate(date)) {
        return std::nullopt;
    }
    return date;
}

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
};

// "10:00AM", "03:30PM" or "15:30"; a separate "AM"/"PM" word is passed as `suffix`.
std::optional<TimeOfDay> ParseDosTime(std::string_view word, std::string_view suffix) {
    if (word.size() > 2 && (StartsWithNoCase(word.substr(word.size() - 2), "am") ||
                            StartsWithNoCase(word.substr(word.size() - 2), "pm"))) {
        suffix = word.substr(word.size() - 2);
        word.remove_suffix(2);
    }
    const std::size_t colon = word.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto hour = ParseSmall(word.substr(0, colon), 1, 2);
    const auto minute = ParseSmall(word.substr(colon + 1), 2, 2);
    if (!hour || !minute || *minute > 59) {
        return std::nullopt;
    }
    TimeOfDay t{*hour, *minute};
    if (suffix.empty()) {
        if (t.hour > 23) {
            return std::nullopt;
        }
        return t;
    }
    if (t.hour < 1 || t.hour > 12) {
        return std::nullopt;
    }
    const bool pm = EqualsNoCase(suffix, "pm");
    t.hour = (t.hour % 12) + (pm ? 12 : 0);
    return t;
}

std::optional<ListEntry> ParseDosLine(std::string_view line) {
    WordReader reader(line);
    const auto dateWord = reader.Next();
    const auto timeWord = reader.Next();
    auto sizeWord = reader.Next();
    if (!dateWord || !timeWord || !sizeWord) {
        return std::nullopt;
    }
    std::string_view suffix;
    if (EqualsNoCase(*sizeWord, "am") || EqualsNoCase(*sizeWord, "pm")) {
        suffix = *sizeWord;
        sizeWord = reader.Next();
        if (!sizeWord) {
            return std::nullopt;
        }
    }
    const auto date = ParseDosDate(*dateWord);
    const auto time = ParseDosTime(*timeWord, suffix);
    if (!date || !time) {
        return std::nullopt;
    }
    ListEntry entry;
    if (EqualsNoCase(*sizeWord, "<DIR>")) {
        entry.isDirectory = true;
    } else {
        // Some servers group digits with commas.
        std::string digits;
        for (char c : *sizeWord) {
            if (c != ',') {
                digits.push_back(c);
            }
        }
        const auto size = ParseUnsigned(digits);
        if (!size || sizeWord->front() == ',' || sizeWord->back() == ',') {
            return std::nullopt;
        }
        entry.size = *size;
    }
    // Columns are padded to different widths, so the name starts at the first
    // non-blank after the size.
    std::size_t nameStart = reader.Position();
    while (nameStart < line.size() && IsBlank(line[nameStart])) {
        ++nameStart;
    }
    if (nameStart >= line.size()) {
        return std::nullopt;
    }
    entry.name = std::string(line.substr(nameStart));
    const auto modified = ToEpoch(*date, time->hour, time->minute, 0);
    entry.modified = modified.value_or(0);
    return entry;
}

// ---------------------------------------------------------------- EPLF

std::optional<ListEntry> ParseEplfLine(std::string_view line) {
    if (line.empty() || line.front() != '+') {
        return std::nullopt;
    }
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab + 1 >= line.size()) {
        return std::nullopt;
    }
    ListEntry entry;
    std::string_view facts = line.substr(1, tab - 1);
    while (!facts.empty()) {
        const std::size_t comma = facts.find(',');
        const std::string_view fact = facts.substr(0, comma);
        facts = comma == std::string_view::npos ? std::string_view{} : facts.substr(comma + 1);
        if (fact.empty()) {
            continue;
        }
        switch (fact.front()) {
        case '/':
            entry.isDirectory = true;
            break;
        case 's':
            if (const auto size = ParseUnsigned(fact.substr(1))) {
                entry.size = *size;
            }
            break;
        case 'm':
            if (const auto seconds = ParseUnsigned(fact.substr(1))) {
                // Up to the end of year 9999, like every other date here.
                constexpr std::uint64_t kLatest = 253402300799;
                entry.modified = *seconds <= kLatest ? static_cast<std::int64_t>(*seconds) : 0;
            }
            break;
        default:
            break; // 'r', 'i' and facts of later versions say nothing we keep
        }
    }
    entry.name = std::string(line.substr(tab + 1));
    return entry;
}

} // namespace

std::optional<ListEntry> ParseMlsdLine(std::string_view line) {
    line = StripLineEnd(line);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || space + 1 >= line.size()) {
        return std::nullopt;
    }
    std::string_view facts = line.substr(0, space);
    std::string_view name = line.substr(space + 1);
    ListEntry entry;
    bool cdir = false;
    bool pdir = false;
    std::optional<std::uint64_t> size;
    std::optional<std::uint64_t> sizd;
    while (!facts.empty()) {
        const std::size_t semicolon = facts.find(';');
        const std::string_view fact = facts.substr(0, semicolon);
        facts = semicolon == std::string_view::npos ? std::string_view{} : facts.substr(semicolon + 1);
        if (fact.empty()) {
            continue;
        }
        const std::size_t equals = fact.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            return std::nullopt; // not a fact list at all
        }
        const std::string_view key = fact.substr(0, equals);
        const std::string_view value = fact.substr(equals + 1);
        if (EqualsNoCase(key, "type")) {
            entry.isDirectory = false;
            entry.isLink = false;
            cdir = pdir = false;
            if (EqualsNoCase(value, "dir")) {
                entry.isDirectory = true;
            } else if (EqualsNoCase(value, "cdir")) {
                entry.isDirectory = cdir = true;
            } else if (EqualsNoCase(value, "pdir")) {
                entry.isDirectory = pdir = true;
            } else if (EqualsNoCase(value, "OS.unix=symlink") || StartsWithNoCase(value, "OS.unix=slink")) {
                entry.isLink = true;
            }
        } else if (EqualsNoCase(key, "size")) {
            size = ParseUnsigned(value);
        } else if (EqualsNoCase(key, "sizd")) {
            sizd = ParseUnsigned(value);
        } else if (EqualsNoCase(key, "modify")) {
            entry.modified = ParseMlsdTime(value).value_or(0);
        }
    }
    // Some servers name the listed directory and its parent by full path.
    if (cdir) {
        name = ".";
    } else if (pdir) {
        name = "..";
    }
    entry.name = std::string(name);
    entry.size = size ? *size : sizd.value_or(0);
    return entry;
}

std::optional<ListEntry> ParseListLine(std::string_view line, std::int64_t now) {
    line = StripLineEnd(line);
    if (line.empty()) {
        return std::nullopt;
    }
    if (line.front() == '+') {
        return ParseEplfLine(line);
    }
    if (IsDigit(line.front())) {
        return ParseDosLine(line);
    }
    return ParseUnixLine(line, now);
}

namespace {
// Hands each entry that a line of `data` describes to `take`, while it returns true.
template <typename Take>
void ForEachEntry(std::string_view data, ListingFormat format, std::int64_t now, Take take) {
    while (!data.empty()) {
        const std::size_t newline = data.find('\n');
        const std::string_view line = data.substr(0, newline);
        data = newline == std::string_view::npos ? std::string_view{} : data.substr(newline + 1);
        auto entry = format == ListingFormat::Mlsd ? ParseMlsdLine(line) : ParseListLine(line, now);
        if (entry && !take(std::move(*entry))) {
            return;
        }
    }
}
} // namespace

std::optional<std::vector<ListEntry>> ParseListing(std::string_view data, ListingFormat format,
                                                   std::int64_t now) {
    if (data.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    std::vector<ListEntry> entries;
    ForEachEntry(data, format, now, [&](ListEntry entry) {
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

bool HoldsEntry(std::string_view data, ListingFormat format) {
    if (data.find('\0') != std::string_view::npos) {
        return false;
    }
    bool found = false;
    // Any `now` will do: the year of a date does not decide whether a line is an entry.
    ForEachEntry(data, format, 0, [&](const ListEntry&) {
        found = true;
        return false;
    });
    return found;
}

} // namespace tidewell::ftp

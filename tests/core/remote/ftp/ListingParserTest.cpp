#include "core/remote/ftp/ListingParser.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using tidewell::ftp::ListEntry;
using tidewell::ftp::ListingFormat;
using tidewell::ftp::ParseListing;
using tidewell::ftp::ParseListLine;
using tidewell::ftp::ParseMlsdLine;

namespace {

// 2026-12-06 20:40:00 UTC; the expected times below are worked out by hand.
constexpr std::int64_t kNow = 1796589600;

ListEntry Entry(std::string name, std::uint64_t size, std::int64_t modified, bool dir = false,
                bool link = false) {
    ListEntry e;
    e.name = std::move(name);
    e.size = size;
    e.modified = modified;
    e.isDirectory = dir;
    e.isLink = link;
    return e;
}

struct LineCase {
    const char* line;
    ListEntry expected;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

// ---------------------------------------------------------------- MLSD

class MlsdLine : public testing::TestWithParam<LineCase> {};

TEST_P(MlsdLine, Parses) {
    const auto entry = ParseMlsdLine(GetParam().line);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Facts, MlsdLine,
    testing::Values(
        // As pyftpdlib sends them.
        LineCase{"modify=20261206204056;perm=r;size=2;type=file;unique=fe00ga72035;  name with  blanks",
                 Entry(" name with  blanks", 2, 1796589656)},
        // Fact names and values in any case, fractional seconds, sizd for directories.
        LineCase{"Type=DIR;Sizd=512;Modify=19991231235959.123; Dir", Entry("Dir", 512, 946684799, true)},
        LineCase{"type=cdir;perm=el; /home/x", Entry(".", 0, 0, true)},
        LineCase{"type=pdir;perm=el; /home", Entry("..", 0, 0, true)},
        LineCase{"type=OS.unix=symlink;size=9; link", Entry("link", 9, 0, false, true)},
        LineCase{"type=os.UNIX=slink:/etc/target;size=9; link2", Entry("link2", 9, 0, false, true)},
        LineCase{"type=file;UNIX.mode=0644;UNIX.owner=1000;size=3; a=b;c.txt", Entry("a=b;c.txt", 3, 0)},
        // No trailing ';' before the blank, no facts at all (a CR left on the line: see whole listings).
        LineCase{"type=file;size=1 x", Entry("x", 1, 0)}, LineCase{" bare", Entry("bare", 0, 0)},
        // Values that make no sense are dropped, the entry kept.
        LineCase{"type=file;size=99999999999999999999;modify=20261306000000; bad", Entry("bad", 0, 0)},
        LineCase{"type=file;size=-1;modify=2026120620; short", Entry("short", 0, 0)}));

TEST(MlsdLineRejects, LinesThatAreNoEntries) {
    for (const char* line :
         {"", "type=file;size=1;", "type=file;size=1; ", "garbage line here", "=x;type=file; name"}) {
        EXPECT_FALSE(ParseMlsdLine(line).has_value()) << '"' << line << '"';
    }
}

// ---------------------------------------------------------------- LIST

class ListLine : public testing::TestWithParam<LineCase> {};

TEST_P(ListLine, Parses) {
    const auto entry = ParseListLine(GetParam().line, kNow);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Unix, ListLine,
    testing::Values(
        // vsftpd: numeric owner and group
        LineCase{"drwxr-xr-x    2 1000     1000         4096 Dec  6 10:00 my dir",
                 Entry("my dir", 4096, 1796551200, true)},
        // Columns missing: the date is found by its shape
        LineCase{"-rw-r--r-- owner group 12 Jan  5  2019 nolinks", Entry("nolinks", 12, 1546646400)},
        // Device files: "major, minor" stands where the size would
        LineCase{"crw-rw-rw- 1 root root 1, 3 Jan 1 2020 null", Entry("null", 0, 1577836800)},
        LineCase{"brw-rw---- 1 root disk 8,0 Jan 1 2020 sda", Entry("sda", 0, 1577836800)},
        // Links to directories are links, not directories; an arrow inside a
        // name of another type stays part of it
        LineCase{"lrwxrwxrwx 1 u g 4 Jan 1 2020 to dir -> /var/x -> y",
                 Entry("to dir", 4, 1577836800, false, true)},
        LineCase{"-rw-r--r-- 1 u g 4 Jan 1 2020 a -> b", Entry("a -> b", 4, 1577836800)},
        // ACL and attribute markers, sticky and setuid bits, month case
        LineCase{"drwxr-xr-x+ 3 u g 4096 JAN 1 2020 acl", Entry("acl", 4096, 1577836800, true)},
        LineCase{"-rwsr-Sr-T 1 root root 1 Jan 1 2020 suid", Entry("suid", 1, 1577836800)},
        // Names that look like listing columns, and tabs between columns
        LineCase{"-rw-r--r-- 1 u g 1 Jan 1 2020 Jan 5 2019 x", Entry("Jan 5 2019 x", 1, 1577836800)},
        LineCase{"-rw-r--r--\t1 u\tg 1 Jan 1 2020   three blanks", Entry("  three blanks", 1, 1577836800)},
        LineCase{"-rw-r--r-- 1 u g 18446744073709551615 Jan 1 2020 max",
                 Entry("max", 18446744073709551615ULL, 1577836800)},
        LineCase{"-rw-r--r-- 1 u g 1 Feb 29 2024 leap\r", Entry("leap", 1, 1709164800)}));

INSTANTIATE_TEST_SUITE_P(Dos, ListLine,
                         testing::Values(
                             // IIS: dates month first or ISO, 12- or 24-hour times, <DIR> or a size
                             LineCase{"01-15-2019  03:30PM   1234567 name with blanks",
                                      Entry("name with blanks", 1234567, 1547566200)},
                             LineCase{"01-15-19  12:30AM   1 midnight", Entry("midnight", 1, 1547512200)},
                             LineCase{"01-15-19  12:30PM   1 noon", Entry("noon", 1, 1547555400)},
                             LineCase{"01-15-19  15:30   5000000000 24h",
                                      Entry("24h", 5000000000ULL, 1547566200)},
                             LineCase{"01-15-19  03:30 PM   2 spaced", Entry("spaced", 2, 1547566200)},
                             LineCase{"03-01-96  00:00   1,234 grouped", Entry("grouped", 1234, 825638400)},
                             LineCase{"01-01-69  12:00AM   <dir> y2k", Entry("y2k", 0, 3124224000, true)},
                             LineCase{"2019-01-15  15:30   7 iso", Entry("iso", 7, 1547566200)},
                             LineCase{"1/5/2019  12:00AM   8 slashes", Entry("slashes", 8, 1546646400)}));

INSTANTIATE_TEST_SUITE_P(
    Eplf, ListLine,
    testing::Values(
        // Facts the parser keeps (s, m, /) among those it skips
        LineCase{"+i8388621.48594,m825718503,r,s280,\tdjb.html", Entry("djb.html", 280, 825718503)},
        LineCase{"+i8388621.44468,m839956783,/,\t~ftp dir", Entry("~ftp dir", 0, 839956783, true)},
        LineCase{"+m99999999999999999999,s5000000000,r,\thuge", Entry("huge", 5000000000ULL, 0)},
        LineCase{"+,,\tnofacts", Entry("nofacts", 0, 0)}));

// ls shows a time instead of a year for the last half year; the year chosen is
// the latest that puts the date in the past, or at most a day ahead of now.
TEST(ListLineYear, TimeOfDayGetsTheYearThatPutsItInThePast) {
    struct Case {
        const char* line;
        std::int64_t now;
        std::int64_t expected;
    };
    // kNow is 6 December 2026, 20:40 UTC.
    const Case cases[] = {
        {"-rw-r--r-- 1 u g 1 Dec  6 10:00 x", kNow, 1796551200},       // today
        {"-rw-r--r-- 1 u g 1 Dec  7 09:00 x", kNow, 1796634000},       // under a day ahead: this year
        {"-rw-r--r-- 1 u g 1 Dec  7 23:00 x", kNow, 1765148400},       // over a day ahead: last year
        {"-rw-r--r-- 1 u g 1 Dec 31 23:00 x", 1798880400, 1798758000}, // Jan 2: last year's Dec 31
        {"-rw-r--r-- 1 u g 1 Jan  1 12:00 x", 1798758000, 1798804800}, // Dec 31 23:00: server a bit ahead
        {"-rw-r--r-- 1 u g 1 Jan  2 10:00 x", 1798758000, 1767348000}, // Dec 31 23:00: Jan 2 is last year's
        {"-rw-r--r-- 1 u g 1 Feb 29 00:00 x", 1709164800 + 86400, 1709164800}, // leap day
        // A `now` out of all reason leaves the date unknown, the entry kept.
        {"-rw-r--r-- 1 u g 1 Dec  6 10:00 x", std::numeric_limits<std::int64_t>::min(), 0},
        {"-rw-r--r-- 1 u g 1 Dec  6 10:00 x", -62135596800, 0}, // the year 1
        {"-rw-r--r-- 1 u g 1 Dec  6 10:00 x", std::numeric_limits<std::int64_t>::max(), 0},
    };
    for (const Case& c : cases) {
        const auto entry = ParseListLine(c.line, c.now);
        ASSERT_TRUE(entry.has_value()) << c.line;
        EXPECT_EQ(entry->modified, c.expected) << c.line << " at " << c.now;
    }
}

TEST(ListLineRejects, LinesThatAreNoEntries) {
    for (const char* line : {
             "",
             "   ",
             "total 12",
             "-rw-r--r-- 1 u g 1 Jan 1 2020 ",                     // only the separating blank
             "-rw-r--r-- 1 u g 1 Foo 1 2020 x",                    // no month
             "-rw-r--r-- 1 u g 1 Jan 32 2020 x",                   // no such day
             "-rw-r--r-- 1 u g 1 Feb 29 2023 x",                   // not a leap year
             "-rw-r--r-- 1 u g 1 Jan 1 24:00 x",                   // no such time
             "-rw-r--r-- 1 u g 1 Jan 1 20200 x",                   // five-digit year
             "-rw-r--r-- 1 u g 18446744073709551616 Jan 1 2020 x", // size overflows
             "xrw-r--r-- 1 u g 1 Jan 1 2020 x",                    // no file type
             "-rw-r--r--! 1 u g 1 Jan 1 2020 x",                   // unknown marker
             "lrwxrwxrwx 1 u g 1 Jan 1 2020  -> target",           // link without a name
             "13-06-26  10:00AM  <DIR>  bad month",
             "12-06-26  13:00PM  <DIR>  bad hour",
             "12-06-26  10:00AM  12x  bad size",
             "12-06-26  10:00AM  <DIR>",
             "12-06-2026-1  10:00AM  1 x",
             "12-06-26  10:00AM  1,  trailing comma",
             "+i1,r,s1,", // EPLF without a tab
             "+r,s1,\t",  // EPLF without a name
             "226 Transfer complete",
         }) {
        EXPECT_FALSE(ParseListLine(line, kNow).has_value()) << '"' << line << '"';
    }
}

// ---------------------------------------------------------------- whole listings

// Lines split at CRLF or LF, a last line kept without either, lines that are no
// entries skipped, whichever the format; binary data is no listing at all.
TEST(Listing, SplitsIntoLinesAndSkipsWhatIsNoEntryButRefusesBinaryData) {
    const std::vector<ListEntry> abd = {Entry("a", 1, 1577836800), Entry("b c", 2, 1577836800, true),
                                        Entry("d", 3, 1577836800)};
    using namespace std::string_literals;
    const std::tuple<std::string, ListingFormat, std::optional<std::vector<ListEntry>>> cases[] = {
        {"\n\n-rw-r--r-- 1 u g 1 Jan 1 2020 a\r\n\r\ngarbage\ndrwxr-xr-x 1 u g 2 Jan 1 2020 b c\n"
         "-rw-r--r-- 1 u g 3 Jan 1 2020 d",
         ListingFormat::List, abd},
        // pyftpdlib's MLSD
        {"type=cdir;modify=20261206204056;perm=el; .\r\n"
         "modify=20190105120000;perm=r;size=0;type=file; old.txt\r\n"
         "not a fact list\r\n",
         ListingFormat::Mlsd,
         {{Entry(".", 0, 1796589656, true), Entry("old.txt", 0, 1546689600)}}},
        {"", ListingFormat::List, std::vector<ListEntry>{}},
        // Data with a NUL is binary, no listing (in either format: FtpFaultTest).
        {"-rw-r--r-- 1 u g 1 Jan 1 2020 a\0b\n"s, ListingFormat::List, std::nullopt},
    };
    for (const auto& [data, format, expected] : cases) {
        EXPECT_EQ(ParseListing(data, format, kNow), expected) << data;
    }
}

} // namespace

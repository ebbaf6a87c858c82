#include "core/remote/ftp/HashCommands.h"

#include "core/remote/ftp/ControlChannel.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace tidewell::ftp {

namespace {
struct Algorithm {
    HashAlgorithm algorithm;
    std::string_view hashName;
    std::string_view verb; // the older command of its own
};
constexpr std::array<Algorithm, 4> kAlgorithms{{
    {HashAlgorithm::Sha256, "SHA-256", "XSHA256"},
    {HashAlgorithm::Sha1, "SHA-1", "XSHA1"},
    {HashAlgorithm::Md5, "MD5", "XMD5"},
    {HashAlgorithm::Crc32, "CRC32", "XCRC"},
}};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (auto& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

// The next blank-separated word of `text`, taken off its front.
std::string_view NextWord(std::string_view& text) {
    const auto start = std::min(text.find_first_not_of(' '), text.size());
    text.remove_prefix(start);
    const auto end = std::min(text.find(' '), text.size());
    const auto word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

// `word` as a lowercase digest of `algorithm`.
std::optional<std::string> Digest(std::string_view word, HashAlgorithm algorithm) {
    if (word.size() != HexDigits(algorithm)) {
        return std::nullopt;
    }
    std::string hex;
    for (const char c : word) {
        if (c >= '0' && c <= '9') {
            hex += c;
        } else if (c >= 'a' && c <= 'f') {
            hex += c;
        } else if (c >= 'A' && c <= 'F') {
            hex += static_cast<char>(c - 'A' + 'a');
        } else {
            return std::nullopt;
        }
    }
    return hex;
}

// "0-<last>": the range of a whole file starts at its first byte.
bool FromFirstByte(std::string_view range) {
    const auto dash = range.find('-');
    if (dash == std::string_view::npos || range.substr(0, dash) != "0") {
        return false;
    }
    const auto last = range.substr(dash + 1);
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(last.data(), last.data() + last.size(), value);
    return ec == std::errc{} && end == last.data() + last.size();
}
} // namespace

HashCommands::HashCommands(const ControlChannel& channel) {
    std::vector<std::string> offered;
    if (const auto parameters = channel.FeatureParameters("HASH")) {
        std::string_view list(*parameters);
        while (!list.empty()) {
            const auto end = std::min(list.find(';'), list.size());
            auto name = Upper(list.substr(0, end));
            list.remove_prefix(std::min(end + 1, list.size()));
            if (!name.empty() && name.back() == '*') {
                name.pop_back();
                current_ = name;
            }
            offered.push_back(std::move(name));
        }
    }
    for (const auto& known : kAlgorithms) {
        if (std::find(offered.begin(), offered.end(), known.hashName) != offered.end()) {
            ways_.push_back({known.algorithm, "HASH", known.hashName});
        }
        if (channel.HasFeature(known.verb)) {
            ways_.push_back({known.algorithm, known.verb, {}});
        }
    }
}

std::optional<RemoteHash> HashCommands::Read(const Way& way, std::string_view replyLine) {
    auto rest = replyLine.substr(std::min<std::size_t>(4, replyLine.size()));
    auto algorithm = way.algorithm;
    if (!way.hashName.empty()) {
        // "SHA-256 0-<last> <digest> <name>": the reply names the algorithm it
        // used, which is the one to trust should the server have kept another.
        const auto name = Upper(NextWord(rest));
        const auto known = std::find_if(kAlgorithms.begin(), kAlgorithms.end(),
                                        [&](const Algorithm& a) { return a.hashName == name; });
        if (known == kAlgorithms.end() || !FromFirstByte(NextWord(rest))) {
            return std::nullopt;
        }
        algorithm = known->algorithm;
    }
    auto hex = Digest(NextWord(rest), algorithm);
    if (!hex) {
        return std::nullopt;
    }
    return RemoteHash{algorithm, std::move(*hex)};
}

} // namespace tidewell::ftp

#include "core/remote/SiteAddress.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace tidewell {

namespace {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

struct Scheme {
    std::string_view prefix;
    Protocol protocol;
    ftp::Security security;
};

// The part after a scheme, which decides the protocol and the security.
std::string_view TakeScheme(std::string_view text, Protocol& protocol, ftp::Security& security) {
    static constexpr Scheme kSchemes[] = {
        {"ftpes://", Protocol::Ftp, ftp::Security::Explicit},
        {"ftps://", Protocol::Ftp, ftp::Security::Implicit},
        {"ftp://", Protocol::Ftp, ftp::Security::Plain},
        // SSH encrypts everything; the FTP security does not apply.
        {"sftp://", Protocol::Sftp, ftp::Security::Auto},
    };
    for (const auto& [scheme, protocolMeant, meaning] : kSchemes) {
        if (text.size() >= scheme.size() &&
            std::equal(scheme.begin(), scheme.end(), text.begin(),
                       [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); })) {
            protocol = protocolMeant;
            security = meaning;
            text.remove_prefix(scheme.size());
            if (!text.empty() && text.back() == '/') {
                text.remove_suffix(1);
            }
            return text;
        }
    }
    return text;
}

std::optional<SiteAddress> ParseHostAndPort(std::string_view text) {
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        SiteAddress address{std::string(text.substr(1, close - 1)), 0};
        const auto rest = text.substr(close + 1);
        if (rest.empty()) {
            return address;
        }
        if (rest.front() != ':') {
            return std::nullopt;
        }
        const auto port = ParsePort(rest.substr(1));
        if (!port) {
            return std::nullopt;
        }
        address.port = *port;
        return address;
    }
    const auto colons = std::count(text.begin(), text.end(), ':');
    if (colons != 1) {
        // No port, or a bare IPv6 address whose colons are its own.
        return SiteAddress{std::string(text), 0};
    }
    const auto colon = text.find(':');
    const auto port = ParsePort(text.substr(colon + 1));
    if (!port) {
        return std::nullopt;
    }
    return SiteAddress{std::string(text.substr(0, colon)), *port};
}

} // namespace

std::optional<SiteAddress> ParseSiteAddress(std::string_view text) {
    ftp::Security security = ftp::Security::Auto;
    Protocol protocol = Protocol::Ftp;
    auto address = ParseHostAndPort(TakeScheme(text, protocol, security));
    if (!address || address->host.empty()) {
        return std::nullopt;
    }
    address->security = security;
    address->protocol = protocol;
    return address;
}

} // namespace tidewell

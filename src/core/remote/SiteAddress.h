#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

struct SiteAddress {
    std::string host;
    std::uint16_t port = 0; // 0: the protocol's default port

    bool operator==(const SiteAddress&) const = default;
};

// The FTP address field: "host", "host:port", "[v6address]:port" or a bare
// IPv6 address. std::nullopt for a port that is not a number in 1..65535 or
// an unclosed bracket.
std::optional<SiteAddress> ParseSiteAddress(std::string_view text);

} // namespace tidewell

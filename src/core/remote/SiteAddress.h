#pragma once

#include "core/remote/ftp/TlsTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

struct SiteAddress {
    std::string host;
    std::uint16_t port = 0; // 0: the protocol's default port
    // Written in the address, so that the settings file needs no field for it:
    // "ftpes://" requires explicit TLS, "ftps://" is implicit TLS, "ftp://"
    // plain FTP on purpose; a bare address uses TLS when the server offers it.
    ftp::Security security = ftp::Security::Auto;

    bool operator==(const SiteAddress&) const = default;
};

// The FTP address field: "host", "host:port", "[v6address]:port" or a bare
// IPv6 address, each optionally after "ftp://", "ftpes://" or "ftps://" (any
// case) and before one "/". std::nullopt for a port that is not a number in
// 1..65535, an unclosed bracket or an empty host.
std::optional<SiteAddress> ParseSiteAddress(std::string_view text);

} // namespace tidewell

#pragma once

#include "core/remote/ftp/TlsTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

// The protocol an address names: FTP unless it says "sftp://".
enum class Protocol { Ftp, Sftp };

struct SiteAddress {
    std::string host;
    std::uint16_t port = 0; // 0: the protocol's default port (21, 990 for implicit TLS, 22)
    // Written in the address, so that the settings file needs no field for it:
    // "ftpes://" requires explicit TLS, "ftps://" is implicit TLS, "ftp://"
    // plain FTP on purpose; a bare address uses TLS when the server offers it.
    ftp::Security security = ftp::Security::Auto;
    Protocol protocol = Protocol::Ftp;

    bool operator==(const SiteAddress&) const = default;
};

// The FTP address field: "host", "host:port", "[v6address]:port" or a bare
// IPv6 address, each optionally after "ftp://", "ftpes://", "ftps://" or
// "sftp://" (any case) and before one "/". std::nullopt for a port that is not a number in
// 1..65535, an unclosed bracket or an empty host.
std::optional<SiteAddress> ParseSiteAddress(std::string_view text);

} // namespace tidewell

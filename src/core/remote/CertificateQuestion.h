#pragma once

#include "core/remote/ftp/TlsTypes.h"

#include <optional>
#include <string>

namespace tidewell {

// A server certificate that nothing vouches for, put to the user before the
// password is sent.
struct CertificateQuestion {
    ftp::CertificateInfo certificate;
    // The fingerprint the user chose to always trust for this server until
    // now: set when the certificate has changed since.
    std::optional<std::string> trustedBefore;
};

enum class CertificateAnswer {
    Trust,       // this connection only
    AlwaysTrust, // and remember it for this server
    Cancel,      // no connection; nothing was sent
};

} // namespace tidewell

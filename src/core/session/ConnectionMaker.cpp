#include "core/session/ConnectionMaker.h"

#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpFileSystem.h"

namespace tidewell {

ConnectionMaker::ConnectionMaker(ftp::FtpSession session, SiteAddress address, std::string user,
                                 std::string password, std::optional<std::string> certificate)
    : session_(std::move(session)), address_(std::move(address)), user_(std::move(user)),
      password_(std::move(password)), certificate_(std::move(certificate)) {}

std::optional<ConnectionMaker> ConnectionMaker::Like(const ftp::FtpSession& session, const SiteProfile& site,
                                                     const std::optional<ftp::CertificateInfo>& encryption) {
    const auto address = ParseSiteAddress(site.address);
    if (!address) {
        return std::nullopt;
    }
    return ConnectionMaker(session, *address, site.username, site.password,
                           encryption ? std::optional(encryption->sha256) : std::nullopt);
}

std::string ConnectionMaker::Server() const {
    return user_ + "@" + address_.host + ":" + std::to_string(address_.port);
}

std::unique_ptr<RemoteFileSystem> ConnectionMaker::Connect() const {
    ftp::TlsOptions tls{ftp::Security::Plain, {}};
    if (certificate_) {
        // The first connection was encrypted: so is every other, or none is made.
        tls.security =
            address_.security == ftp::Security::Implicit ? ftp::Security::Implicit : ftp::Security::Explicit;
        tls.judge = [expected = *certificate_](const ftp::CertificateInfo& info) {
            return info.sha256 == expected ? ftp::CertificateVerdict::AcceptedOnce
                                           : ftp::CertificateVerdict::Rejected;
        };
    }
    try {
        return std::make_unique<ftp::FtpFileSystem>(
            session_.GetFtpConnection(address_.host, user_, password_, address_.port, true, tls));
    } catch (const ftp::FtpException&) {
        return nullptr;
    }
}

} // namespace tidewell

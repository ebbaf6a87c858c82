#include "core/session/ConnectionMaker.h"

#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpFileSystem.h"
#include "core/remote/sftp/SftpFileSystem.h"
#include "core/remote/sftp/SshLogIn.h"

#include <QDir>

#include <algorithm>

namespace tidewell {

ConnectionMaker::ConnectionMaker(ftp::FtpSession session, SiteAddress address, std::string user,
                                 std::string password, std::optional<std::string> certificate,
                                 KeyPassphrases passphrases)
    : session_(std::move(session)), address_(std::move(address)), user_(std::move(user)),
      password_(std::move(password)), certificate_(std::move(certificate)),
      passphrases_(std::move(passphrases)) {}

std::optional<ConnectionMaker> ConnectionMaker::Like(const ftp::FtpSession& session, const SiteProfile& site,
                                                     const std::optional<ftp::CertificateInfo>& encryption,
                                                     KeyPassphrases passphrases) {
    const auto address = ParseSiteAddress(site.address);
    if (!address) {
        return std::nullopt;
    }
    return ConnectionMaker(session, *address, site.username, site.password,
                           encryption ? std::optional(encryption->sha256) : std::nullopt,
                           std::move(passphrases));
}

std::string ConnectionMaker::Server() const {
    const std::string scheme = address_.protocol == Protocol::Sftp ? "sftp://" : "";
    return scheme + user_ + "@" + address_.host + ":" + std::to_string(address_.port);
}

std::unique_ptr<RemoteFileSystem> ConnectionMaker::Open(bool passive, const ServerTrust& trust) const {
    return OpenAt(address_, passive, trust);
}

std::unique_ptr<RemoteFileSystem> ConnectionMaker::OpenAt(const SiteAddress& address, bool passive,
                                                          const ServerTrust& trust) const {
    if (address.protocol == Protocol::Sftp) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(session_.Timeout());
        sftp::SftpLogin login{address.host,
                              address.port,
                              user_,
                              password_,
                              std::max(seconds, std::chrono::seconds(1)),
                              trust.hostKey,
                              trust.knownHosts,
                              sftp::DefaultKeyFiles(QDir(QDir::homePath()).filePath(".ssh").toStdString()),
                              trust.passphrase};
        const ftp::LogSink log = session_.NextConnectionLog();
        log.Write(ftp::LogKind::Info, "Connecting to " + address.host + " port " +
                                          std::to_string(address.port == 0 ? 22 : address.port) +
                                          " over SFTP");
        try {
            auto connection = sftp::SftpFileSystem::Connect(login);
            const auto encryption = connection->Encryption();
            log.Write(ftp::LogKind::Info, "Logged in as " + user_ + "; SSH, " + encryption->tlsVersion +
                                              ", host key " + encryption->hostKeyType + " " +
                                              encryption->sha256);
            return connection;
        } catch (const RemoteError& failure) {
            log.Write(ftp::LogKind::Error, failure.what());
            throw;
        }
    }
    return std::make_unique<ftp::FtpFileSystem>(session_.GetFtpConnection(
        address.host, user_, password_, address.port, passive, {address.security, trust.certificate}));
}

std::unique_ptr<RemoteFileSystem> ConnectionMaker::Connect() const {
    ServerTrust trust;
    if (certificate_) {
        trust.certificate = [expected = *certificate_](const ftp::CertificateInfo& info) {
            return info.sha256 == expected ? ftp::CertificateVerdict::AcceptedOnce
                                           : ftp::CertificateVerdict::Rejected;
        };
        trust.hostKey = [expected = *certificate_](const HostKeyInfo& key) {
            return key.sha256 == expected ? HostKeyVerdict::AcceptedOnce : HostKeyVerdict::Rejected;
        };
    }
    trust.passphrase = [this](const std::string& keyFile) -> std::optional<std::string> {
        const auto given = passphrases_.find(keyFile);
        return given != passphrases_.end() ? std::optional(given->second) : std::nullopt;
    };
    // The first connection was encrypted: so is every other, or none is made.
    SiteAddress address = address_;
    if (certificate_ && address.protocol == Protocol::Ftp && address.security != ftp::Security::Implicit) {
        address.security = ftp::Security::Explicit;
    } else if (!certificate_) {
        address.security = ftp::Security::Plain;
    }
    try {
        return OpenAt(address, true, trust);
    } catch (const RemoteError&) {
        return nullptr;
    }
}

} // namespace tidewell

#pragma once

#include "core/profiles/SiteProfile.h"
#include "core/remote/SiteAddress.h"
#include "core/remote/ftp/FtpSession.h"

#include <memory>
#include <optional>
#include <string>

namespace tidewell {

class RemoteFileSystem;

// Makes more connections like the window's own, for runs that move files over
// several at once: the same server, log-in and protection, and a certificate
// taken only when it is the very one the user or the system accepted for the
// first connection, so nobody is asked twice. Copied into a run; its methods
// may be called from any thread.
class ConnectionMaker {
public:
    // certificate: the SHA-256 fingerprint of the first connection's
    // certificate; none for plain FTP.
    ConnectionMaker(ftp::FtpSession session, SiteAddress address, std::string user, std::string password,
                    std::optional<std::string> certificate);

    // More connections like one that logged in to `site` with `encryption`
    // (its Encryption()); none when the site's address cannot be read.
    static std::optional<ConnectionMaker> Like(const ftp::FtpSession& session, const SiteProfile& site,
                                               const std::optional<ftp::CertificateInfo>& encryption);

    // A logged-in connection whose data connections are passive (see
    // RemoteFileSystem::UsePassive), or nullptr when the server will not have one
    // more (too many connections) or it fails in any other way: a run then
    // goes on with the connections it has, so nothing is said.
    std::unique_ptr<RemoteFileSystem> Connect() const;
    // The server and log-in, as one text: what tells this server's files from another's.
    std::string Server() const;

private:
    ftp::FtpSession session_;
    SiteAddress address_;
    std::string user_;
    std::string password_;
    std::optional<std::string> certificate_;
};

} // namespace tidewell

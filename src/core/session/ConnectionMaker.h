#pragma once

#include "core/profiles/SiteProfile.h"
#include "core/remote/HostKeyQuestion.h"
#include "core/remote/SiteAddress.h"
#include "core/remote/ftp/FtpSession.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tidewell {

class RemoteFileSystem;

// Who decides about what a server shows of itself, before anything is sent.
struct ServerTrust {
    ftp::CertificateJudge certificate; // FTP over TLS: a certificate nothing vouches for
    HostKeyJudge hostKey;              // SFTP
    // OpenSSH's known-hosts file of the user, whose keys go without the
    // judge; empty: not read.
    std::string knownHosts;
    PassphraseAsker passphrase; // SFTP without a password: a protected key's
};

// The passphrases given for private keys in this session, by key file.
using KeyPassphrases = std::map<std::string, std::string>;

// Connects to a site by the protocol its address names, and makes more
// connections like the window's own, for runs that move files over several at
// once: the same server, log-in and protection, and a certificate or host key
// taken only when it is the very one the user or the system accepted for the
// first connection, so nobody is asked twice. Copied into a run; its methods
// may be called from any thread.
class ConnectionMaker {
public:
    // certificate: the SHA-256 fingerprint of the first connection's
    // certificate or host key; none for plain FTP.
    ConnectionMaker(ftp::FtpSession session, SiteAddress address, std::string user, std::string password,
                    std::optional<std::string> certificate, KeyPassphrases passphrases = {});

    // More connections like one that logged in to `site` with `encryption`
    // (its Encryption()); none when the site's address cannot be read.
    static std::optional<ConnectionMaker> Like(const ftp::FtpSession& session, const SiteProfile& site,
                                               const std::optional<ftp::CertificateInfo>& encryption,
                                               KeyPassphrases passphrases = {});

    // Connects and logs in, asking `trust`; data connections passive when
    // `passive`. Without a password, SFTP tries the SSH agent and the user's
    // default keys. Throws RemoteError.
    std::unique_ptr<RemoteFileSystem> Open(bool passive, const ServerTrust& trust) const;
    // A logged-in connection whose data connections are passive (see
    // RemoteFileSystem::UsePassive), or nullptr when the server will not have one
    // more (too many connections) or it fails in any other way: a run then
    // goes on with the connections it has, so nothing is said.
    std::unique_ptr<RemoteFileSystem> Connect() const;
    // The server and log-in, as one text: what tells this server's files from another's.
    std::string Server() const;

private:
    std::unique_ptr<RemoteFileSystem> OpenAt(const SiteAddress& address, bool passive,
                                             const ServerTrust& trust) const;

    ftp::FtpSession session_;
    SiteAddress address_;
    std::string user_;
    std::string password_;
    std::optional<std::string> certificate_;
    KeyPassphrases passphrases_;
};

} // namespace tidewell

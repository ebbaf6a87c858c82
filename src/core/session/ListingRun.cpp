#include "core/session/ListingRun.h"

#include "core/remote/SiteAddress.h"
#include "core/remote/TrustStore.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/session/RemoteSession.h"

#include <QDir>

namespace tidewell {

namespace {

std::string ConnectFailureText(const RemoteError& failure) {
    switch (failure.ErrorCode()) {
    case ftp::error::kLoginRefused:
        return "Can't connect to FTP server - check the FTP username/password";
    case ftp::error::kHostNotResolved:
        return "Can't connect to FTP server - check the FTP address";
    case ftp::error::kTlsRefused:
        return "Can't connect to FTP server - it does not offer TLS, which the address (ftpes://) requires; "
               "nothing was sent in the clear";
    case ftp::error::kTlsFailed:
        return "Can't connect to FTP server - the secure connection failed: " + std::string(failure.what());
    default:
        return "Can't connect to the FTP server";
    }
}

} // namespace

std::optional<UserMessage> DescribeEnding(const ListingOutcome& outcome) {
    if (outcome.ending) {
        if (outcome.ending->complete) {
            return UserMessage{"Transfer complete", {}, MessageIcon::Information};
        }
        return outcome.ending->message;
    }
    if (outcome.connected && outcome.listing && !outcome.listing->failure) {
        return UserMessage{"Listing complete: " + std::to_string(outcome.listing->fileCount) + " file(s), " +
                               std::to_string(outcome.listing->dirCount) + " dir(s)",
                           {},
                           MessageIcon::Information};
    }
    return std::nullopt;
}

ListingRun::ListingRun(RemoteSession& session, SiteProfile site, Done done)
    : remote_(session), session_(session.Session()), site_(std::move(site)), trustFile_(session.TrustFile()),
      loginDirectory_(session.LoginDirectory()), done_(std::move(done)) {}

void ListingRun::ShowFtpError(RunContext& context, const std::string& text) {
    context.window.Ask({text, "FTP Error", MessageIcon::Stop, MessageButtons::Ok});
}

void ListingRun::Execute(RunContext& context) {
    context.window.SetFileNameText(kListingWaitText);
    bool ready = Prepare(context);
    if (context.cancel) {
        // Whatever the connection was in the middle of, it cannot be trusted now.
        context.connection.reset();
        ready = false;
    }
    Conclude(context, ready);
}

bool ListingRun::Prepare(RunContext& context) {
    return context.connection ? ChangeDirectory(context) : Connect(context);
}

void ListingRun::Conclude(RunContext& context, bool ready) {
    if (ready && context.connection) {
        // The one place the listed directory is resolved: every later run starts from this full path.
        listed_ = context.connection->RealPath().value_or(std::string());
        outcome_.listing = ReadRemoteDirectory(*context.connection);
        if (outcome_.listing->failure) {
            // Not an empty directory: say so, and log out when the connection went with it.
            ShowFtpError(context, "The directory could not be listed: " + *outcome_.listing->failure);
            if (!context.connection->IsConnected()) {
                context.connection.reset();
            }
        }
    }
    outcome_.connected = context.connection != nullptr;
}

std::optional<ConnectionMaker> ListingRun::MoreConnections(const RemoteFileSystem& connection) const {
    return loggedIn_ ? ConnectionMaker::Like(session_, site_, connection.Encryption(), passphrases_)
                     : std::nullopt;
}

bool ListingRun::Connect(RunContext& context) {
    remote_.WaitForClosedConnections();
    try {
        // An address whose port cannot be read names no reachable host.
        const auto address = ParseSiteAddress(site_.address);
        if (!address) {
            throw ftp::FtpException(ftp::error::kHostNotResolved, {});
        }
        ServerTrust trust;
        trust.certificate = [&](const ftp::CertificateInfo& certificate) {
            return Decide(context, certificate, address->port);
        };
        trust.hostKey = [&](const HostKeyInfo& key) { return DecideHostKey(context, key); };
        trust.knownHosts = QDir(QDir::homePath()).filePath(".ssh/known_hosts").toStdString();
        trust.passphrase = [&](const std::string& keyFile) {
            auto passphrase = context.window.AskPassphrase(keyFile);
            if (passphrase) {
                passphrases_[keyFile] = *passphrase;
            }
            return passphrase;
        };
        const ConnectionMaker maker(session_, *address, site_.username, site_.password, std::nullopt);
        context.connection = maker.Open(false, trust);
    } catch (const RemoteError& failure) {
        context.connection.reset();
        // A certificate or host key the user turned down needs no message of its own.
        if (!context.cancel && failure.ErrorCode() != ftp::error::kCertificateRejected &&
            failure.ErrorCode() != sftp::error::kHostKeyRejected) {
            ShowFtpError(context, ConnectFailureText(failure));
        }
        return false;
    }
    loggedIn_ = true;
    loginDirectory_ = context.connection->RealPath().value_or(std::string());
    if (site_.directory.empty()) {
        outcome_.siteDirectory = loginDirectory_;
        return true;
    }
    if (!context.connection->Enter(site_.directory)) {
        context.connection.reset();
        ShowFtpError(context, "Directory is not contained on the FTP server - check the Directory");
        outcome_.focusDirectory = true;
        return false;
    }
    return true;
}

ftp::CertificateVerdict ListingRun::Decide(RunContext& context, const ftp::CertificateInfo& certificate,
                                           std::uint16_t port) {
    const TrustStore store(trustFile_);
    const std::optional<std::string> trusted = store.Trusted(certificate.host, port);
    if (trusted == certificate.sha256) {
        return ftp::CertificateVerdict::AlwaysTrusted;
    }
    switch (context.window.AskCertificate({certificate, trusted})) {
    case CertificateAnswer::AlwaysTrust:
        if (!store.Remember(certificate.host, port, certificate.sha256)) {
            ShowFtpError(context, "The certificate is trusted for this connection only: " +
                                      store.Path().toStdString() + " could not be written");
            return ftp::CertificateVerdict::AcceptedOnce;
        }
        return ftp::CertificateVerdict::AlwaysTrusted;
    case CertificateAnswer::Trust:
        return ftp::CertificateVerdict::AcceptedOnce;
    case CertificateAnswer::Cancel:
        break;
    }
    return ftp::CertificateVerdict::Rejected;
}

HostKeyVerdict ListingRun::DecideHostKey(RunContext& context, const HostKeyInfo& key) {
    const TrustStore store(TrustStore::HostKeysBeside(trustFile_));
    const std::optional<std::string> trusted = store.Trusted(key.host, key.port);
    if (trusted == key.sha256 && !key.knownBefore) {
        return HostKeyVerdict::AlwaysTrusted;
    }
    HostKeyQuestion question{key, std::nullopt, {}};
    if (key.knownBefore) {
        question.recordedBefore = key.knownBefore;
        question.recordedIn = QDir(QDir::homePath()).filePath(".ssh/known_hosts").toStdString();
    } else if (trusted) {
        question.recordedBefore = trusted;
        question.recordedIn = store.Path().toStdString();
    }
    const CertificateAnswer answer = context.window.AskHostKey(question);
    // A changed key is refused whatever the answer, until the old one is removed.
    if (question.recordedBefore || answer == CertificateAnswer::Cancel) {
        return HostKeyVerdict::Rejected;
    }
    if (answer == CertificateAnswer::AlwaysTrust) {
        if (!store.Remember(key.host, key.port, key.sha256)) {
            ShowFtpError(context, "The host key is trusted for this connection only: " +
                                      store.Path().toStdString() + " could not be written");
            return HostKeyVerdict::AcceptedOnce;
        }
        return HostKeyVerdict::AlwaysTrusted;
    }
    return HostKeyVerdict::AcceptedOnce;
}

bool ListingRun::ChangeDirectory(RunContext& context) {
    RemoteFileSystem& connection = *context.connection;
    const std::optional<std::string> remembered = connection.RealPath();
    const bool known = remembered.has_value();
    bool changed = false;
    if (!site_.directory.empty()) {
        changed = connection.Enter(site_.directory);
    } else {
        changed = connection.Enter(loginDirectory_);
        outcome_.siteDirectory = loginDirectory_;
    }
    if (!changed) {
        ShowFtpError(context,
                     "Directory is not contained on the FTP server, or the FTP server cannot be contacted");
        // Back to the directory still listed; when even that could not be
        // read, the field keeps what the user typed.
        if (known) {
            outcome_.siteDirectory = remembered;
        }
    }
    return changed;
}

void ListingRun::Finish() {
    if (loggedIn_) {
        remote_.SetLoginDirectory(loginDirectory_);
        remote_.SetLoginSite(site_);
        remote_.SetPassphrases(passphrases_);
    }
    if (!listed_.empty()) {
        remote_.SetListedDirectory(listed_);
    }
    done_(std::move(outcome_));
}

} // namespace tidewell

#pragma once

#include "core/app/RunController.h"
#include "core/profiles/SiteProfile.h"
#include "core/remote/ConnectionLog.h"
#include "core/remote/ftp/FtpSession.h"
#include "core/session/ConnectionCloser.h"
#include "core/session/ConnectionMaker.h"
#include "core/session/KeepAlive.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tidewell {

class RemoteFileSystem;

// The window's one FTP session and the connection it made: whether the window
// is logged in, and the directory the server put us in at log-in. Runs borrow
// the connection through the run controller; while one holds it, nothing here
// touches it. Between runs a keep-alive holds it, so that the server does not
// drop it for idleness; a connection lost all the same is made again, quietly,
// on the next run's thread before the run starts. GUI thread only, but for the
// log, which every connection made here writes to from its own thread, and
// ReadyConnection.
class RemoteSession : public ConnectionHolder {
public:
    explicit RemoteSession(std::chrono::milliseconds timeout = ftp::FtpSession::kDefaultTimeout);
    ~RemoteSession() override;

    // What connecting runs connect with (a copy, so no thread shares it).
    ftp::FtpSession Session() const { return session_; }
    // Bounds every wait of the connections made from now on.
    void SetTimeout(std::chrono::milliseconds timeout) { session_.SetTimeout(timeout); }
    // How long the idle connection stays quiet before the server is told it is
    // still wanted; zero or less: never.
    void SetKeepAliveInterval(std::chrono::milliseconds interval) { keepAlive_.SetInterval(interval); }

    bool Connected() const { return connected_; }
    const std::string& LoginDirectory() const { return loginDirectory_; }
    // The site the connection logged in to, for the connections runs add to it.
    void SetLoginSite(SiteProfile site) { loginSite_ = std::move(site); }
    // The passphrases of the keys it logged in with, for the connections runs add.
    void SetPassphrases(KeyPassphrases passphrases) { passphrases_ = std::move(passphrases); }
    // Makes more connections like this one; none while logged out or while a run holds it.
    std::optional<ConnectionMaker> MoreConnections() const;
    void SetLoginDirectory(std::string directory) { loginDirectory_ = std::move(directory); }
    // The full path of the directory the list shows, as the server resolved
    // it (the site's Directory may be relative); empty before a listing.
    const std::string& ListedDirectory() const { return listedDirectory_; }
    void SetListedDirectory(std::string directory) { listedDirectory_ = std::move(directory); }

    // The file of always-trusted certificates, asked for each time a
    // connecting run is made (it follows the settings file); the SSH host keys
    // always trusted are kept beside it.
    void SetTrustFileSource(std::function<QString()> source) { trustFile_ = std::move(source); }
    QString TrustFile() const { return trustFile_ ? trustFile_() : QString(); }
    // The connection's protocol and certificate when it is encrypted; nothing
    // while logged out, on plain FTP, or while a run holds the connection.
    std::optional<ftp::CertificateInfo> Encryption() const;

    // Ends the connection, if any. Refused (false) while a run holds it.
    bool Disconnect();

    // Waits, on a run's thread, until the goodbyes of earlier connections are said.
    void WaitForClosedConnections() { closer_.WaitUntilDone(); }
    std::unique_ptr<RemoteFileSystem> LendConnection() override;
    void ReturnConnection(std::unique_ptr<RemoteFileSystem> connection) override;
    // On the run's thread: the connection, once the keep-alive is done with
    // it, or made again where the list was when it was lost.
    bool ReadyConnection(std::unique_ptr<RemoteFileSystem>& connection,
                         const std::atomic<bool>& cancel) override;

    // The dialogue of every connection made here, and each run's end. Thread-safe.
    std::shared_ptr<ConnectionLog> Log() const { return log_; }
    void LogRunEnd(ftp::LogKind kind, std::string text) override;

private:
    // Connections like the one logged in, none when the site's address cannot be read.
    std::optional<ConnectionMaker> Maker() const;

    // Shared with the connections, which may still say goodbye after the session has gone.
    std::shared_ptr<ConnectionLog> log_ = std::make_shared<ConnectionLog>();
    ftp::FtpSession session_;
    std::optional<ftp::CertificateInfo> encryption_; // the connection's, kept while it is lent or kept alive
    bool connected_ = false;
    bool lent_ = false;
    // What a run needs to make a lost connection again: set when lent, read on the run's thread.
    struct Revival {
        std::optional<ConnectionMaker> maker;
        std::string directory;
    };
    std::optional<Revival> revival_;
    std::string loginDirectory_;
    SiteProfile loginSite_;
    KeyPassphrases passphrases_;
    std::string listedDirectory_;
    std::function<QString()> trustFile_;
    ConnectionCloser closer_;      // goes after the keep-alive, finishing the closes still under way
    KeepAlive keepAlive_{closer_}; // last: its thread ends first
};

} // namespace tidewell

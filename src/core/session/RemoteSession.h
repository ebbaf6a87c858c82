#pragma once

#include "core/app/RunController.h"
#include "core/profiles/SiteProfile.h"
#include "core/remote/ConnectionLog.h"
#include "core/remote/ftp/FtpSession.h"
#include "core/session/ConnectionCloser.h"
#include "core/session/ConnectionMaker.h"

#include <QString>

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
// touches it. GUI thread only, but for the log, which every connection made
// here writes to from its own thread.
class RemoteSession : public ConnectionHolder {
public:
    explicit RemoteSession(std::chrono::milliseconds timeout = ftp::FtpSession::kDefaultTimeout);
    ~RemoteSession() override;

    // What connecting runs connect with (a copy, so no thread shares it).
    ftp::FtpSession Session() const { return session_; }
    // Bounds every wait of the connections made from now on.
    void SetTimeout(std::chrono::milliseconds timeout) { session_.SetTimeout(timeout); }

    bool Connected() const { return connected_; }
    const std::string& LoginDirectory() const { return loginDirectory_; }
    // The site the connection logged in to, for the connections runs add to it.
    void SetLoginSite(SiteProfile site) { loginSite_ = std::move(site); }
    // Makes more connections like this one; none while logged out or while a run holds it.
    std::optional<ConnectionMaker> MoreConnections() const;
    void SetLoginDirectory(std::string directory) { loginDirectory_ = std::move(directory); }
    // The full path of the directory the list shows, as the server resolved
    // it (the site's Directory may be relative); empty before a listing.
    const std::string& ListedDirectory() const { return listedDirectory_; }
    void SetListedDirectory(std::string directory) { listedDirectory_ = std::move(directory); }

    // The file of always-trusted certificates, asked for each time a
    // connecting run is made (it follows the settings file).
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

    // The dialogue of every connection made here, and each run's end. Thread-safe.
    std::shared_ptr<ConnectionLog> Log() const { return log_; }
    void LogRunEnd(ftp::LogKind kind, std::string text) override;

private:
    // Shared with the connections, which may still say goodbye after the session has gone.
    std::shared_ptr<ConnectionLog> log_ = std::make_shared<ConnectionLog>();
    ftp::FtpSession session_;
    std::unique_ptr<RemoteFileSystem> connection_;
    bool connected_ = false;
    bool lent_ = false;
    std::string loginDirectory_;
    SiteProfile loginSite_;
    std::string listedDirectory_;
    std::function<QString()> trustFile_;
    ConnectionCloser closer_; // last: goes first, finishing the closes still under way
};

} // namespace tidewell

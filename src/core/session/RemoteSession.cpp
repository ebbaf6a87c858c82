#include "core/session/RemoteSession.h"

#include "core/remote/RemoteFileSystem.h"

namespace tidewell {

RemoteSession::RemoteSession(std::chrono::milliseconds timeout) : session_(timeout) {
    session_.SetLog(ftp::LogSink([log = log_](ftp::LogLine line) { log->Append(std::move(line)); }));
}

RemoteSession::~RemoteSession() {
    keepAlive_.Drop();
}

std::optional<ftp::CertificateInfo> RemoteSession::Encryption() const {
    return connected_ && !lent_ ? encryption_ : std::nullopt;
}

std::optional<ConnectionMaker> RemoteSession::MoreConnections() const {
    return connected_ && !lent_ ? Maker() : std::nullopt;
}

// From what the connection showed when it came back: the keep-alive may hold it now.
std::optional<ConnectionMaker> RemoteSession::Maker() const {
    return ConnectionMaker::Like(session_, loginSite_, encryption_, passphrases_);
}

bool RemoteSession::Disconnect() {
    if (lent_) {
        return false;
    }
    keepAlive_.Drop(); // the window never waits for the server's goodbye
    connected_ = false;
    encryption_.reset();
    listedDirectory_.clear();
    return true;
}

void RemoteSession::LogRunEnd(ftp::LogKind kind, std::string text) {
    log_->Append(ftp::LogLine::Now(kind, std::move(text)));
}

// The connection itself is lent on the run's thread: a keep-alive under way
// may hold it for up to the timeout, which the window must not wait out.
std::unique_ptr<RemoteFileSystem> RemoteSession::LendConnection() {
    lent_ = true;
    revival_.reset();
    if (connected_) {
        revival_ = Revival{Maker(), listedDirectory_.empty() ? loginDirectory_ : listedDirectory_};
    }
    return nullptr;
}

bool RemoteSession::ReadyConnection(std::unique_ptr<RemoteFileSystem>& connection,
                                    const std::atomic<bool>& cancel) {
    connection = keepAlive_.Take(cancel);
    if (!revival_ || (connection && connection->IsConnected())) {
        return true;
    }
    closer_.Close(std::move(connection));
    if (cancel || !revival_->maker) {
        return false;
    }
    connection = revival_->maker->Connect();
    // Anywhere else, a run working where the list is would work in the wrong directory.
    if (connection && !revival_->directory.empty() && !connection->Enter(revival_->directory)) {
        closer_.Close(std::move(connection));
    }
    return connection != nullptr;
}

void RemoteSession::ReturnConnection(std::unique_ptr<RemoteFileSystem> connection) {
    lent_ = false;
    if (connection) {
        encryption_ = connection->Encryption();
        keepAlive_.Keep(std::move(connection));
    }
    connected_ = keepAlive_.Holds(); // a run that never started left it there
    if (!connected_) {
        encryption_.reset();
        listedDirectory_.clear();
    }
}

} // namespace tidewell

#include "core/session/RemoteSession.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/SiteAddress.h"

namespace tidewell {

RemoteSession::RemoteSession(std::chrono::milliseconds timeout) : session_(timeout) {
    session_.SetLog(ftp::LogSink([log = log_](ftp::LogLine line) { log->Append(std::move(line)); }));
}

RemoteSession::~RemoteSession() {
    closer_.Close(std::move(connection_));
}

std::optional<ftp::CertificateInfo> RemoteSession::Encryption() const {
    return connection_ ? connection_->Encryption() : std::nullopt;
}

std::optional<ConnectionMaker> RemoteSession::MoreConnections() const {
    return connection_ ? ConnectionMaker::Like(session_, loginSite_, *connection_) : std::nullopt;
}

bool RemoteSession::Disconnect() {
    if (lent_) {
        return false;
    }
    closer_.Close(std::move(connection_)); // the window never waits for the server's goodbye
    connected_ = false;
    listedDirectory_.clear();
    return true;
}

void RemoteSession::LogRunEnd(ftp::LogKind kind, std::string text) {
    log_->Append(ftp::LogLine::Now(kind, std::move(text)));
}

std::unique_ptr<RemoteFileSystem> RemoteSession::LendConnection() {
    lent_ = true;
    return std::move(connection_);
}

void RemoteSession::ReturnConnection(std::unique_ptr<RemoteFileSystem> connection) {
    lent_ = false;
    connection_ = std::move(connection);
    connected_ = connection_ != nullptr;
    if (!connected_) {
        listedDirectory_.clear();
    }
}

} // namespace tidewell

#include "core/remote/sftp/SftpSession.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpChannel.h"
#include "core/remote/sftp/SftpErrors.h"

namespace tidewell::sftp {

namespace {

[[noreturn]] void Fail(std::uint32_t code, ssh_session ssh, const std::string& what) {
    const std::string detail = ssh != nullptr ? ssh_get_error(ssh) : "";
    throw RemoteError(code, detail, detail.empty() ? what : what + ": " + detail);
}

std::uint32_t ConnectFailureCode(const std::string& detail) {
    if (detail.find("resolve") != std::string::npos) {
        return error::kHostNotResolved;
    }
    if (detail.find("imeout") != std::string::npos || detail.find("imed out") != std::string::npos) {
        return error::kTimeout;
    }
    return error::kCannotConnect;
}

HostKeyInfo DescribeHostKey(ssh_session ssh, const SftpLogin& login, std::uint16_t port) {
    ssh_key raw = nullptr;
    if (ssh_get_server_publickey(ssh, &raw) != SSH_OK) {
        Fail(error::kConnectionLost, ssh, "the server sent no host key");
    }
    const SshKeyPtr key(raw);
    unsigned char* rawHash = nullptr;
    std::size_t length = 0;
    if (ssh_get_publickey_hash(key.get(), SSH_PUBLICKEY_HASH_SHA256, &rawHash, &length) != SSH_OK) {
        Fail(error::kConnectionLost, ssh, "the host key could not be hashed");
    }
    const SshHashPtr hash(rawHash);
    // libssh gives OpenSSH's form: "SHA256:" and base64 without padding.
    const SshStringPtr fingerprint(ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash.get(), length));
    const char* type = ssh_key_type_to_char(ssh_key_type(key.get()));
    return {login.host, port, type != nullptr ? type : "unknown", fingerprint ? fingerprint.get() : ""};
}

} // namespace

std::unique_ptr<SftpSession> SftpSession::Open(const SftpLogin& login) {
    SshSessionPtr ssh(ssh_new());
    if (!ssh) {
        throw RemoteError(error::kCannotConnect, {}, "libssh could not make a session");
    }
    const unsigned int port = login.port == 0 ? 22 : login.port;
    const long timeout = static_cast<long>(login.timeout.count());
    const int noConfig = 0;
    // The user's ~/.ssh/config must not redirect a connection the window made.
    ssh_options_set(ssh.get(), SSH_OPTIONS_PROCESS_CONFIG, &noConfig);
    if (ssh_options_set(ssh.get(), SSH_OPTIONS_HOST, login.host.c_str()) != SSH_OK ||
        ssh_options_set(ssh.get(), SSH_OPTIONS_PORT, &port) != SSH_OK ||
        ssh_options_set(ssh.get(), SSH_OPTIONS_USER, login.user.c_str()) != SSH_OK ||
        ssh_options_set(ssh.get(), SSH_OPTIONS_TIMEOUT, &timeout) != SSH_OK) {
        Fail(error::kCannotConnect, ssh.get(), "the connection could not be set up");
    }
    if (ssh_connect(ssh.get()) != SSH_OK) {
        const std::string detail = ssh_get_error(ssh.get());
        Fail(ConnectFailureCode(detail), ssh.get(),
             "cannot connect to " + login.host + " port " + std::to_string(port));
    }

    auto hostKey = DescribeHostKey(ssh.get(), login, static_cast<std::uint16_t>(port));
    const auto verdict = login.judge ? login.judge(hostKey) : HostKeyVerdict::Rejected;
    if (verdict == HostKeyVerdict::Rejected) {
        throw RemoteError(error::kHostKeyRejected, {},
                          "the host key of " + login.host + " (" + hostKey.sha256 + ") was not accepted");
    }

    const int auth = ssh_userauth_password(ssh.get(), nullptr, login.password.c_str());
    if (auth == SSH_AUTH_DENIED || auth == SSH_AUTH_PARTIAL) {
        throw RemoteError(error::kLoginRefused, ssh_get_error(ssh.get()),
                          "the server refused the user name or password");
    }
    if (auth != SSH_AUTH_SUCCESS) {
        Fail(error::kConnectionLost, ssh.get(), "logging in failed");
    }

    SftpSessionPtr sftp(sftp_new(ssh.get()));
    if (!sftp) {
        Fail(error::kConnectionLost, ssh.get(), "the server did not open an SFTP channel");
    }
    if (sftp_init(sftp.get()) != SSH_OK) {
        Fail(error::kErrorReply, ssh.get(), "the server did not start SFTP");
    }
    return std::make_unique<SftpSession>(std::move(ssh), std::move(sftp), std::move(hostKey));
}

SftpSession::SftpSession(SshSessionPtr ssh, SftpSessionPtr sftp, HostKeyInfo hostKey)
    : ssh_(std::move(ssh)), sftp_(std::move(sftp)), hostKey_(std::move(hostKey)) {}

bool SftpSession::Connected() const {
    return sftp_ && ssh_ && ssh_is_connected(ssh_.get()) && ssh_get_error_code(ssh_.get()) != SSH_FATAL;
}

std::string SftpSession::Failure() const {
    if (Cancelled()) {
        return "cancelled";
    }
    if (!ssh_) {
        return "not connected";
    }
    const std::string text = ssh_get_error(ssh_.get());
    return text.empty() ? "the server refused" : text;
}

bool SftpSession::MayProceed() {
    const auto* flag = CancelScope::Flag();
    cancelled_ = flag != nullptr && flag->load();
    return !cancelled_ && Connected();
}

bool SftpSession::Cancelled() const {
    return cancelled_ || (watch_ && watch_->Fired());
}

CancelWatch::Armed SftpSession::Watch() {
    if (!ssh_ || CancelScope::Flag() == nullptr) {
        return {};
    }
    if (!watch_) {
        watch_ = std::make_unique<CancelWatch>(ssh_get_fd(ssh_.get()));
    }
    return watch_->Arm();
}

std::shared_ptr<SftpChannel> SftpSession::Transfers() {
    if (transfers_ && !transfers_->Broken()) {
        return transfers_;
    }
    transfers_.reset();
    if (!MayProceed()) {
        throw RemoteError(error::kConnectionLost, Failure(), "no transfer: " + Failure());
    }
    transfers_ = SftpChannel::Open(ssh_.get());
    return transfers_;
}

void SftpSession::Close() {
    // The channels go before the session they run on, the watch before its socket.
    transfers_.reset();
    watch_.reset();
    sftp_.reset();
    ssh_.reset();
}

} // namespace tidewell::sftp

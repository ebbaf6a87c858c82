#include "core/remote/sftp/SftpSession.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpChannel.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SshLogIn.h"

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

// OpenSSH's form: "SHA256:" and base64 without padding; empty when it cannot be made.
std::string Fingerprint(ssh_key key) {
    unsigned char* rawHash = nullptr;
    std::size_t length = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &rawHash, &length) != SSH_OK) {
        return {};
    }
    const SshHashPtr hash(rawHash);
    const SshStringPtr fingerprint(ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash.get(), length));
    return fingerprint ? fingerprint.get() : "";
}

HostKeyInfo DescribeHostKey(ssh_session ssh, const SftpLogin& login, std::uint16_t port) {
    ssh_key raw = nullptr;
    if (ssh_get_server_publickey(ssh, &raw) != SSH_OK) {
        Fail(error::kConnectionLost, ssh, "the server sent no host key");
    }
    const SshKeyPtr key(raw);
    const std::string fingerprint = Fingerprint(key.get());
    if (fingerprint.empty()) {
        Fail(error::kConnectionLost, ssh, "the host key could not be hashed");
    }
    const char* type = ssh_key_type_to_char(ssh_key_type(key.get()));
    return {login.host, port, type != nullptr ? type : "unknown", fingerprint, std::nullopt};
}

struct KnownHostsEntryFree {
    void operator()(ssh_knownhosts_entry* entry) const { ssh_knownhosts_entry_free(entry); }
};

// What the user's known-hosts file says of the key: true when it holds this
// very key; the key it holds instead goes into `key.knownBefore`.
bool KnownToUser(ssh_session ssh, HostKeyInfo& key) {
    ssh_knownhosts_entry* raw = nullptr;
    const auto state = ssh_session_get_known_hosts_entry(ssh, &raw);
    const std::unique_ptr<ssh_knownhosts_entry, KnownHostsEntryFree> entry(raw);
    if (state == SSH_KNOWN_HOSTS_OK) {
        return true;
    }
    if (state == SSH_KNOWN_HOSTS_CHANGED) {
        const std::string before = entry && entry->publickey != nullptr ? Fingerprint(entry->publickey) : "";
        key.knownBefore = before.empty() ? "(a key that could not be read)" : before;
    }
    return false;
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
    // Only the file asked for: not libssh's default, nor the system's.
    const std::string knownHosts = login.knownHosts.empty() ? "/dev/null" : login.knownHosts;
    if (ssh_options_set(ssh.get(), SSH_OPTIONS_KNOWNHOSTS, knownHosts.c_str()) != SSH_OK ||
        ssh_options_set(ssh.get(), SSH_OPTIONS_GLOBAL_KNOWNHOSTS, "/dev/null") != SSH_OK ||
        ssh_options_set(ssh.get(), SSH_OPTIONS_HOST, login.host.c_str()) != SSH_OK ||
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
    if (login.knownHosts.empty() || !KnownToUser(ssh.get(), hostKey)) {
        const auto verdict = login.judge ? login.judge(hostKey) : HostKeyVerdict::Rejected;
        if (verdict == HostKeyVerdict::Rejected) {
            throw RemoteError(error::kHostKeyRejected, {},
                              "the host key of " + login.host + " (" + hostKey.sha256 + ") was not accepted");
        }
    }

    SshLogIn(ssh.get(), login.password, login.keyFiles, login.passphrase).Authenticate();

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

std::string SftpSession::Algorithms() const {
    if (!ssh_) {
        return {};
    }
    const auto name = [](const char* text) { return std::string(text != nullptr ? text : "?"); };
    const std::string in = name(ssh_get_cipher_in(ssh_.get()));
    const std::string out = name(ssh_get_cipher_out(ssh_.get()));
    return "key exchange " + name(ssh_get_kex_algo(ssh_.get())) + ", cipher " +
           (in == out ? in : in + " / " + out);
}

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

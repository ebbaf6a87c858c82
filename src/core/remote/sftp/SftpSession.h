#pragma once

#include "core/remote/HostKeyQuestion.h"
#include "core/remote/sftp/CancelWatch.h"
#include "core/remote/sftp/SshHandles.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tidewell::sftp {

class SftpChannel;

// How to reach and log in to an SFTP server.
struct SftpLogin {
    std::string host;
    std::uint16_t port = 22; // 0 means 22
    std::string user;
    std::string password;
    // Bounds every wait of the connection, connecting included.
    std::chrono::seconds timeout{30};
    // Asked about the host key before the password is sent; none rejects every key.
    HostKeyJudge judge;
    // OpenSSH's known-hosts file of the user: a key it holds for the server
    // goes without the judge; another key there makes the judge hear of the
    // change. Empty: not read.
    std::string knownHosts;
    // Without a password: the agent, then these private keys (SshLogIn).
    std::vector<std::string> keyFiles;
    PassphraseAsker passphrase;
};

// One SSH connection, logged in, with its SFTP channel.
class SftpSession {
public:
    // Connects, has the judge decide about the host key, logs in and starts
    // SFTP. Throws RemoteError (codes in SftpErrors.h) with a clear text.
    static std::unique_ptr<SftpSession> Open(const SftpLogin& login);

    SftpSession(SshSessionPtr ssh, SftpSessionPtr sftp, HostKeyInfo hostKey);
    SftpSession(const SftpSession&) = delete;
    SftpSession& operator=(const SftpSession&) = delete;

    sftp_session Sftp() const { return sftp_.get(); }
    const HostKeyInfo& HostKey() const { return hostKey_; }
    // The key exchange and the cipher each way, as the padlock names them.
    std::string Algorithms() const;
    bool Connected() const;
    // Why the last libssh call failed, the server's own words when it gave some.
    std::string Failure() const;
    // False, with Failure() saying so, when a cancel is pending: checked
    // before each request so that a cancelled run stops within one.
    bool MayProceed();
    // Whether a cancel stopped the last request or cut a wait short.
    bool Cancelled() const;
    // While the result lives, a cancel of the run shuts the connection down,
    // ending the libssh call under way within a few tens of milliseconds.
    [[nodiscard]] CancelWatch::Armed Watch();
    // The channel transfers run on, a second SFTP conversation of the
    // connection: opened on first use, and again once it broke. Throws
    // RemoteError. Holders keep no more than a weak reference: it goes with
    // the session.
    std::shared_ptr<SftpChannel> Transfers();
    void Close();

private:
    SshSessionPtr ssh_;
    SftpSessionPtr sftp_;
    HostKeyInfo hostKey_;
    bool cancelled_ = false;
    // Both go before the session they use.
    std::unique_ptr<CancelWatch> watch_;
    std::shared_ptr<SftpChannel> transfers_;
};

} // namespace tidewell::sftp

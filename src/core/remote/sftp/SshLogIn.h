#pragma once

#include "core/remote/HostKeyQuestion.h"

#include <libssh/libssh.h>

#include <string>
#include <vector>

namespace tidewell::sftp {

// Authenticates a connected SSH session whose host key was accepted. With a
// password: the password, and keyboard-interactive answered with it for
// servers that allow only that. Without one: the SSH agent, then each private
// key file whose public half the server accepts, asking for the passphrase of
// a protected one. Throws RemoteError (kLoginRefused when nothing was taken).
class SshLogIn {
public:
    SshLogIn(ssh_session ssh, std::string password, std::vector<std::string> keyFiles,
             PassphraseAsker passphrase);

    void Authenticate();

private:
    bool WithPassword();
    bool WithAgent();
    bool WithKey(const std::string& keyFile);
    // Fails on an error that ends the connection; true when `result` logged in.
    bool Succeeded(int result);

    ssh_session ssh_;
    std::string password_;
    std::vector<std::string> keyFiles_;
    PassphraseAsker passphrase_;
};

// The private keys OpenSSH's client tries by default, in its order, under `sshDirectory`.
std::vector<std::string> DefaultKeyFiles(const std::string& sshDirectory);

} // namespace tidewell::sftp

#include "core/remote/sftp/SshLogIn.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SshHandles.h"

#include <cstdlib>
#include <filesystem>

namespace tidewell::sftp {

SshLogIn::SshLogIn(ssh_session ssh, std::string password, std::vector<std::string> keyFiles,
                   PassphraseAsker passphrase)
    : ssh_(ssh), password_(std::move(password)), keyFiles_(std::move(keyFiles)),
      passphrase_(std::move(passphrase)) {}

void SshLogIn::Authenticate() {
    bool loggedIn = false;
    if (!password_.empty()) {
        loggedIn = WithPassword();
    } else {
        loggedIn = WithAgent();
        for (const auto& keyFile : keyFiles_) {
            if (loggedIn) {
                break;
            }
            loggedIn = WithKey(keyFile);
        }
    }
    if (!loggedIn) {
        throw RemoteError(error::kLoginRefused, ssh_get_error(ssh_),
                          password_.empty() ? "the server took none of the keys offered"
                                            : "the server refused the user name or password");
    }
}

bool SshLogIn::Succeeded(int result) {
    if (result == SSH_AUTH_ERROR) {
        const std::string detail = ssh_get_error(ssh_);
        throw RemoteError(error::kConnectionLost, detail, "logging in failed: " + detail);
    }
    return result == SSH_AUTH_SUCCESS;
}

bool SshLogIn::WithPassword() {
    // Asking for the methods is what makes ssh_userauth_list answer.
    if (Succeeded(ssh_userauth_none(ssh_, nullptr))) {
        return true;
    }
    const int methods = ssh_userauth_list(ssh_, nullptr);
    if ((methods & SSH_AUTH_METHOD_PASSWORD) != 0 &&
        Succeeded(ssh_userauth_password(ssh_, nullptr, password_.c_str()))) {
        return true;
    }
    if ((methods & SSH_AUTH_METHOD_INTERACTIVE) == 0) {
        return false;
    }
    // Keyboard-interactive: every prompt that hides its echo gets the password.
    int result = ssh_userauth_kbdint(ssh_, nullptr, nullptr);
    for (int rounds = 0; result == SSH_AUTH_INFO && rounds < 8; ++rounds) {
        const int prompts = ssh_userauth_kbdint_getnprompts(ssh_);
        for (int i = 0; i < prompts; ++i) {
            char echo = 0;
            ssh_userauth_kbdint_getprompt(ssh_, static_cast<unsigned>(i), &echo);
            if (echo == 0 &&
                ssh_userauth_kbdint_setanswer(ssh_, static_cast<unsigned>(i), password_.c_str()) < 0) {
                return false;
            }
        }
        result = ssh_userauth_kbdint(ssh_, nullptr, nullptr);
    }
    return Succeeded(result);
}

bool SshLogIn::WithAgent() {
    const char* socket = std::getenv("SSH_AUTH_SOCK");
    if (socket == nullptr || *socket == '\0') {
        return false;
    }
    return Succeeded(ssh_userauth_agent(ssh_, nullptr));
}

bool SshLogIn::WithKey(const std::string& keyFile) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(keyFile, failed)) {
        return false;
    }
    // The public half first, when it is there: no passphrase is asked for a
    // key the server would not take.
    ssh_key rawPublic = nullptr;
    if (ssh_pki_import_pubkey_file((keyFile + ".pub").c_str(), &rawPublic) == SSH_OK) {
        const SshKeyPtr publicKey(rawPublic);
        if (!Succeeded(ssh_userauth_try_publickey(ssh_, nullptr, publicKey.get()))) {
            return false;
        }
    }
    ssh_key rawPrivate = nullptr;
    if (ssh_pki_import_privkey_file(keyFile.c_str(), nullptr, nullptr, nullptr, &rawPrivate) != SSH_OK) {
        // Protected: three tries at its passphrase, as OpenSSH's client gives.
        for (int tries = 0; tries < 3 && rawPrivate == nullptr; ++tries) {
            const auto passphrase = passphrase_ ? passphrase_(keyFile) : std::nullopt;
            if (!passphrase) {
                return false;
            }
            if (ssh_pki_import_privkey_file(keyFile.c_str(), passphrase->c_str(), nullptr, nullptr,
                                            &rawPrivate) != SSH_OK) {
                rawPrivate = nullptr;
            }
        }
        if (rawPrivate == nullptr) {
            return false;
        }
    }
    const SshKeyPtr privateKey(rawPrivate);
    return Succeeded(ssh_userauth_publickey(ssh_, nullptr, privateKey.get()));
}

std::vector<std::string> DefaultKeyFiles(const std::string& sshDirectory) {
    std::vector<std::string> files;
    for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        files.push_back((std::filesystem::path(sshDirectory) / name).string());
    }
    return files;
}

} // namespace tidewell::sftp

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tidewell {

// What a person needs to decide about an SSH server's host key.
struct HostKeyInfo {
    std::string host; // the name connected to
    std::uint16_t port = 22;
    std::string type;   // "ssh-ed25519", "ecdsa-sha2-nistp256", "ssh-rsa", ...
    std::string sha256; // as OpenSSH prints it: "SHA256:" and base64 without padding
    // The fingerprint OpenSSH's known-hosts file of the user holds for this
    // server, when it holds another key: the key changed.
    std::optional<std::string> knownBefore;
};

enum class HostKeyVerdict {
    Rejected,
    AcceptedOnce,  // for this connection
    AlwaysTrusted, // the user trusts it for this server from now on, or did already
};

// Decides about a host key on the connecting thread, before any password is
// sent; Rejected ends the attempt with nothing sent.
using HostKeyJudge = std::function<HostKeyVerdict(const HostKeyInfo&)>;

// A host key put to the user before anything is sent.
struct HostKeyQuestion {
    HostKeyInfo key;
    // Set when the key differs from the one recorded for the server: the
    // fingerprint recorded, and the file it is recorded in. Such a key is
    // refused until the user removes the old one.
    std::optional<std::string> recordedBefore;
    std::string recordedIn;
};

// Asks for the passphrase of a private key file; std::nullopt when the user
// would rather not give it (the key is then passed over).
using PassphraseAsker = std::function<std::optional<std::string>(const std::string& keyFile)>;

} // namespace tidewell

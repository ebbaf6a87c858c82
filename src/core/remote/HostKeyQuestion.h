#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tidewell {

// What a person needs to decide about an SSH server's host key.
struct HostKeyInfo {
    std::string host; // the name connected to
    std::uint16_t port = 22;
    std::string type;   // "ssh-ed25519", "ecdsa-sha2-nistp256", "ssh-rsa", ...
    std::string sha256; // as OpenSSH prints it: "SHA256:" and base64 without padding
};

enum class HostKeyVerdict {
    Rejected,
    AcceptedOnce,  // for this connection
    AlwaysTrusted, // the user trusts it for this server from now on, or did already
};

// Decides about a host key on the connecting thread, before any password is
// sent; Rejected ends the attempt with nothing sent.
using HostKeyJudge = std::function<HostKeyVerdict(const HostKeyInfo&)>;

} // namespace tidewell

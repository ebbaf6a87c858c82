#pragma once

#include "core/remote/sftp/SshHandles.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tidewell::sftp {

// A second SFTP conversation (version 3) on a channel of its own of a
// logged-in SSH session, spoken here rather than by libssh, whose 0.10 waits
// for every write and lets a channel's window grow only to 1.25 MB: this one
// keeps as many requests in flight as the caller sends. Every length the server
// sends is checked before it is used. A reply that breaks the protocol, or a
// connection that fails, throws RemoteError and leaves the channel Broken().
//
// Requests are sent under a claim: the one stream using the channel. The
// replies to an earlier claim's requests, or to forgotten ones, are read and
// dropped when they come, so that a stream is given up without waiting.
class SftpChannel {
public:
    // Opens the channel, starts the "sftp" subsystem and agrees on version 3
    // and on request sizes. Throws RemoteError.
    static std::shared_ptr<SftpChannel> Open(ssh_session ssh);
    SftpChannel(ssh_session ssh, SshChannelPtr channel);
    SftpChannel(const SftpChannel&) = delete;
    SftpChannel& operator=(const SftpChannel&) = delete;
    ~SftpChannel();

    // The most data one read or write request carries: what the server says
    // it takes (limits@openssh.com), up to the preferred size, else 32 KiB,
    // which every server takes. A write takes what one CommitWrite brings:
    // fewer, larger writes cost the server less.
    std::size_t ReadSize() const { return readSize_; }
    std::size_t WriteSize() const { return writeSize_; }
    static constexpr std::size_t kPreferredRead = 64 * 1024;
    static constexpr std::size_t kPreferredWrite = 128 * 1024;
    bool Broken() const { return broken_; }

    // A new claim, which ends the one before it.
    std::uint64_t Claim();
    bool Holds(std::uint64_t claim) const { return claim == claim_ && !broken_; }
    // Ends `claim` if it is the current one.
    void Release(std::uint64_t claim);
    // The reply to `id` is dropped when it comes.
    void Forget(std::uint32_t id);

    // The id of a request about to be sent under the current claim.
    std::uint32_t Track();
    // Whole requests, one after the other.
    void Send(std::string_view bytes);

    struct Reply {
        std::uint8_t type = 0;
        std::uint32_t id = 0;
        std::uint32_t length = 0; // of the body, after the id
    };
    // The next reply to a request of the current claim. Its body is read with
    // Read or Body before the next; what is left unread is dropped.
    Reply Next();
    // The reply to `id`, which must be the only request of the claim in flight.
    Reply Await(std::uint32_t id);
    // The next `size` bytes of the body (no more than it has left).
    void Read(char* into, std::size_t size);
    // What is left of the body.
    std::string Body();

    struct Status {
        std::uint32_t code = 0;
        std::string message;
    };
    // The rest of a STATUS reply's body.
    Status ReadStatus();

    // The server broke the protocol: throws, the channel broken.
    [[noreturn]] void Malformed(const std::string& what);

private:
    void Start();
    void ReadRaw(char* into, std::size_t size);
    void Drop(std::size_t size);
    void KeepWindowOpen();
    [[noreturn]] void Lost(const std::string& what);

    ssh_session ssh_;
    SshChannelPtr channel_;
    std::size_t readSize_ = 32 * 1024;
    std::size_t writeSize_ = 32 * 1024;
    bool broken_ = false;
    std::uint64_t claim_ = 1;
    std::uint32_t nextId_ = 1;
    // Requests in flight: the claim each was sent under, 0 once forgotten.
    std::unordered_map<std::uint32_t, std::uint64_t> pending_;
    std::uint32_t unread_ = 0;
    std::size_t readSinceGrown_ = 0;
    std::vector<char> scratch_;
    // Where the error stream goes; never touched while the server writes none.
    std::unique_ptr<char[]> errorSink_;
};

} // namespace tidewell::sftp

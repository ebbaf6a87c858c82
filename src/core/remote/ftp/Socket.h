#pragma once

#include "core/remote/CancelScope.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>

namespace tidewell::ftp {

using Clock = std::chrono::steady_clock;

// An address of either family, as the socket calls take it.
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    int Family() const { return storage.ss_family; }
    std::uint16_t Port() const;
    void SetPort(std::uint16_t port);
    // The numeric host part ("127.0.0.1", "::1").
    std::string Host() const;
    bool SameHost(const SocketAddress& other) const;
    const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

// What one non-blocking read or write came to. `Closed` is an orderly end (a
// FIN, or TLS close_notify); `Truncated` an end that TLS did not announce.
enum class IoStatus { Done, WantRead, WantWrite, Closed, Truncated, Failed, TimedOut };
struct IoResult {
    IoStatus status = IoStatus::Failed;
    std::size_t bytes = 0;
};

// Owns one non-blocking socket descriptor.
class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() { Reset(); }

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Reset();
    // Closes with a reset instead of an orderly end, so unread data is dropped at once.
    void Abort();

    // One recv or send, never blocking and never raising SIGPIPE.
    IoResult Receive(char* buffer, std::size_t size) const;
    IoResult Send(const char* buffer, std::size_t size) const;

    std::optional<SocketAddress> LocalAddress() const;
    std::optional<SocketAddress> PeerAddress() const;

private:
    int fd_ = -1;
};

enum class WaitResult { Ready, TimedOut, Failed };

// The run's cancel reaches the engine's waits through tidewell::CancelScope.
using tidewell::CancelScope;

// The milliseconds one poll may block: at most until the deadline, and in
// short slices while a cancel scope is active. Negative once the deadline has
// passed or the run was cancelled.
int PollMilliseconds(Clock::time_point deadline);

// Waits until fd has `events` (POLLIN/POLLOUT) or the deadline passes.
WaitResult WaitFor(int fd, short events, Clock::time_point deadline);

// Repeats `step` (a non-blocking read, write or handshake) while it waits on
// fd, waiting within the deadline; a failed wait is `Failed`.
template <typename Step> IoResult Complete(int fd, Clock::time_point deadline, Step step) {
    for (;;) {
        const IoResult result = step();
        if (result.status != IoStatus::WantRead && result.status != IoStatus::WantWrite) {
            return result;
        }
        const short events = result.status == IoStatus::WantRead ? POLLIN : POLLOUT;
        const auto waited = WaitFor(fd, events, deadline);
        if (waited != WaitResult::Ready) {
            return {waited == WaitResult::TimedOut ? IoStatus::TimedOut : IoStatus::Failed, 0};
        }
    }
}

// Outcome of connecting: the socket, or the error code that explains the failure.
struct ConnectOutcome {
    Socket socket;
    std::uint32_t error = 0;
};

// Resolves host and tries every address in turn, each bounded by `timeout`.
ConnectOutcome ConnectToHost(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout);
// Connects to one address within the deadline; the error code on failure.
// `bulk` sizes the buffers for a data connection.
ConnectOutcome ConnectToAddress(const SocketAddress& address, Clock::time_point deadline, bool bulk);
// A listening socket on `local` (its port chosen by the system), for active-mode data.
std::optional<Socket> ListenOn(SocketAddress local);

// A large receive buffer lets loopback and fast links run at full speed.
void TuneForBulkData(int fd);
void SetNoDelay(int fd);

} // namespace tidewell::ftp

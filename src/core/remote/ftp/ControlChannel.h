#pragma once

#include "core/remote/ftp/ReplyParser.h"
#include "core/remote/ftp/Socket.h"

#include <array>
#include <chrono>
#include <set>
#include <string>
#include <string_view>

namespace tidewell::ftp {

// The control connection: sends commands, reads replies within the timeout, and
// remembers what the server offers and which data-connection mode works with it.
// Transport failures throw FtpException and leave the channel closed.
class ControlChannel {
public:
    ControlChannel(Socket socket, std::chrono::milliseconds timeout);

    std::chrono::milliseconds Timeout() const { return timeout_; }
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    Clock::time_point Deadline() const { return Clock::now() + timeout_; }

    bool IsOpen() const { return socket_.IsOpen(); }
    int Descriptor() const { return socket_.Get(); }
    const SocketAddress& Local() const { return local_; }
    const SocketAddress& Peer() const { return peer_; }

    void Send(std::string_view command);
    // The next reply, waiting until the deadline.
    Reply ReadReply(Clock::time_point deadline);
    Reply ReadReply() { return ReadReply(Deadline()); }
    // The next reply that is not preliminary (1xx).
    Reply ReadFinalReply(Clock::time_point deadline);
    // Sends and returns the first reply.
    Reply Command(std::string_view command);
    // Whether a reply is buffered or waiting on the socket.
    bool ReplyPending();
    // Waits until a reply starts to arrive; false at the deadline (nothing is dropped).
    bool WaitForReply(Clock::time_point deadline);
    // Closes the connection; every later call fails with kConnectionLost.
    void Drop();

    void SetFeatures(const Reply& featReply);
    bool HasFeature(std::string_view name) const;

    // Data-connection mode: active until the server shows it cannot do it.
    bool passive = false;
    // EPSV was refused once: go straight to PASV.
    bool pasvOnly = false;
    // A data transfer owns the channel until it ends; other commands wait for it.
    bool transferOpen = false;

private:
    void Fill(Clock::time_point deadline);

    Socket socket_;
    SocketAddress local_;
    SocketAddress peer_;
    std::chrono::milliseconds timeout_;
    ReplyParser parser_;
    std::array<char, 8192> buffer_{};
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
    std::set<std::string, std::less<>> features_;
};

// A name or path that would smuggle a second command onto the wire.
bool IsUnsafeArgument(std::string_view argument);

} // namespace tidewell::ftp

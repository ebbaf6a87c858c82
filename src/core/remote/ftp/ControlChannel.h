#pragma once

#include "core/remote/ftp/LogSink.h"
#include "core/remote/ftp/ReplyParser.h"
#include "core/remote/ftp/Socket.h"
#include "core/remote/ftp/TlsContext.h"
#include "core/remote/ftp/TlsStream.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell::ftp {

// The control connection: sends commands, reads replies within the timeout, and
// remembers what the server offers and which data-connection mode works with it.
// Transport failures throw FtpException and leave the channel closed. Every
// command sent (secrets masked), reply read, handshake and close goes to the log.
class ControlChannel {
public:
    ControlChannel(Socket socket, std::chrono::milliseconds timeout, LogSink log = {});
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;
    ~ControlChannel();

    std::chrono::milliseconds Timeout() const { return timeout_; }
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    Clock::time_point Deadline() const { return Clock::now() + timeout_; }

    bool IsOpen() const { return socket_.IsOpen(); }
    int Descriptor() const { return socket_.Get(); }
    const SocketAddress& Local() const { return local_; }
    const SocketAddress& Peer() const { return peer_; }

    // Sends a new command. A reply that came unasked (a late one to an
    // abandoned transfer, say) is read and dropped first, so that it cannot be
    // taken for this command's reply.
    void Send(std::string_view command);
    // Sends a command that follows one whose replies are still due (NOOP after
    // ABOR); nothing is dropped.
    void SendFollowing(std::string_view command);
    // Sends two new commands at once, the second without waiting for the
    // first's reply; their replies come in order.
    void SendTogether(std::string_view first, std::string_view second);
    // The next reply, waiting until the deadline.
    Reply ReadReply(Clock::time_point deadline);
    Reply ReadReply() { return ReadReply(Deadline()); }
    // The next reply that is not preliminary (1xx).
    Reply ReadFinalReply(Clock::time_point deadline);
    // Sends a new command and returns its first reply.
    Reply Command(std::string_view command);
    // Whether a reply is buffered or waiting on the socket.
    bool ReplyPending();
    // Waits until a reply starts to arrive; false at the deadline (nothing is dropped).
    bool WaitForReply(Clock::time_point deadline);
    // Closes the connection; every later call fails with kConnectionLost.
    void Drop();
    // The same for a connection given up on, logged as lost and why.
    void DropLost(const std::string& why);
    const LogSink& Log() const { return log_; }

    // Runs the TLS handshake on the connection (right after connecting for
    // implicit TLS, after 234 to AUTH TLS for explicit); from then on every
    // command and reply is encrypted. `host` is what the certificate must name.
    // Throws kTlsFailed or kTimeout, leaving the channel closed.
    void Secure(const std::string& host);
    bool IsSecure() const { return tls_ != nullptr; }
    // The certificate and protocol of a secured channel.
    const std::optional<CertificateInfo>& Encryption() const { return encryption_; }
    // TLS for a data connection on `fd`: same host, resuming this channel's session.
    std::unique_ptr<TlsStream> DataStream(int fd) const;
    // Whether a data connection's server is the one this channel verified.
    bool SamePeer(const TlsStream& data) const { return tls_ && data.SamePeerCertificate(*tls_); }

    void SetFeatures(const Reply& featReply);
    bool HasFeature(std::string_view name) const;
    // What follows the feature's name on its FEAT line ("SHA-256*;MD5" for
    // HASH), blanks trimmed; std::nullopt when it is not offered.
    std::optional<std::string> FeatureParameters(std::string_view name) const;

    // Data connections are active until the server shows it cannot do it (or
    // passive is asked for), then passive for the rest of the connection.
    bool UsesPassive() const { return passive_; }
    void PreferPassive() { passive_ = true; }

    // The passive command tried first: EPSV, until it fails and PASV works.
    enum class PassiveCommand { Epsv, Pasv };
    PassiveCommand FirstPassiveCommand() const { return firstPassive_; }
    // `command` gave a data connection: it is tried first from now on.
    void PreferPassiveCommand(PassiveCommand command) {
        firstPassive_ = command;
        passiveProven_ = true;
    }
    // Whether a passive command has given a data connection on this channel.
    bool PassiveProven() const { return passiveProven_; }
    // A passive command failed after all: prove it again before relying on it.
    void DoubtPassive() { passiveProven_ = false; }

    // A data transfer owns the channel from its start to its final reply;
    // other commands are refused meanwhile.
    bool InTransfer() const { return inTransfer_; }
    void BeginTransfer() { inTransfer_ = true; }
    void EndTransfer() { inTransfer_ = false; }

private:
    void Fill(Clock::time_point deadline);
    // One non-blocking read into the empty buffer.
    IoResult ReadSome();
    void DropUnaskedReplies();
    void Write(std::initializer_list<std::string_view> commands);
    void Close();
    // Drops the connection and throws FtpException(code, reason).
    [[noreturn]] void Fail(std::uint32_t code, std::string reason);

    Socket socket_;
    std::unique_ptr<TlsContext> context_;
    std::unique_ptr<TlsStream> tls_; // declared after the context it uses
    std::optional<CertificateInfo> encryption_;
    std::string tlsHost_;
    SocketAddress local_;
    SocketAddress peer_;
    std::chrono::milliseconds timeout_;
    ReplyParser parser_;
    std::array<char, 8192> buffer_{};
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
    std::map<std::string, std::string, std::less<>> features_; // name (upper case) -> parameters
    bool passive_ = false;
    PassiveCommand firstPassive_ = PassiveCommand::Epsv;
    bool passiveProven_ = false;
    bool inTransfer_ = false;
    LogSink log_;
};

// A name or path that would smuggle a second command onto the wire.
bool IsUnsafeArgument(std::string_view argument);

} // namespace tidewell::ftp

#pragma once

#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/LogSink.h"
#include "core/remote/ftp/TlsTypes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace tidewell::ftp {

// Makes connections; holds the timeout every wait of its connections is bounded
// by and the log their dialogue goes to.
class FtpSession {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{30000};

    explicit FtpSession(std::chrono::milliseconds timeout = kDefaultTimeout) : timeout_(timeout) {}

    std::chrono::milliseconds Timeout() const { return timeout_; }
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // For the connections made from now on: connecting, every command and
    // reply, the TLS verdict and the close.
    void SetLog(LogSink log) { log_ = std::move(log); }
    // The log of one more connection of this session, its lines numbered as its.
    LogSink NextConnectionLog() const { return log_.ForConnection(++*connections_); }

    // Connects and logs in. Port 0 means 21 (990 for implicit TLS). `passive`
    // makes every data connection passive from the start; otherwise active mode
    // is tried first. `server` is a host name or address ("[::1]" too). `tls`
    // says how the connection is protected. Throws FtpException:
    // kHostNotResolved, kCannotConnect, kTimeout, kLoginRefused,
    // kConnectionLost, kErrorReply, kTlsRefused (Explicit only: AUTH TLS
    // refused), kTlsFailed, kCertificateRejected.
    std::unique_ptr<FtpConnection> GetFtpConnection(const std::string& server, const std::string& user,
                                                    const std::string& password, std::uint16_t port = 0,
                                                    bool passive = false, const TlsOptions& tls = {}) const;

private:
    std::chrono::milliseconds timeout_;
    LogSink log_;
    // Numbers the connections in the log; shared by the copies runs connect with.
    std::shared_ptr<std::atomic<int>> connections_ = std::make_shared<std::atomic<int>>(0);
};

} // namespace tidewell::ftp

#pragma once

#include "core/remote/RemoteFileSystem.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tidewell::ftp {

// Error codes of the FTP layer; the numbers are the ones the product has always shown.
namespace error {
inline constexpr std::uint32_t kTimeout = 12002;                    // a wait ran past the timeout
inline constexpr std::uint32_t kErrorReply = RemoteError::kRefused; // the server answered with an error
inline constexpr std::uint32_t kHostNotResolved = 12007;            // the host name has no address
inline constexpr std::uint32_t kLoginRefused = 12014;               // 530 to USER or PASS
inline constexpr std::uint32_t kCannotConnect = 12029;              // no address accepted the connection
inline constexpr std::uint32_t kConnectionLost = 12030;             // the server closed or reset a connection
inline constexpr std::uint32_t kTlsRefused = 12157; // TLS was required and the server does not offer it
inline constexpr std::uint32_t kTlsFailed = 12158;  // the TLS handshake or a TLS record failed
inline constexpr std::uint32_t kCertificateRejected = 12159; // the certificate was not accepted
} // namespace error

// Thrown by connecting, opening, reading and writing. `ServerReply()` holds the
// server's reply text when there was one (for kErrorReply and kLoginRefused).
class FtpException : public RemoteError {
public:
    FtpException(std::uint32_t code, std::string serverReply);
};

// A short English description of an error code, for messages and logs of tests.
const char* DescribeError(std::uint32_t code) noexcept;

} // namespace tidewell::ftp

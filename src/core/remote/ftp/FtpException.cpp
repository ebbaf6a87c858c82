#include "core/remote/ftp/FtpException.h"

namespace tidewell::ftp {

namespace {
std::string Compose(std::uint32_t code, const std::string& reply) {
    std::string text = DescribeError(code);
    if (!reply.empty()) {
        text += ": ";
        text += reply;
    }
    return text;
}
} // namespace

FtpException::FtpException(std::uint32_t code, std::string serverReply)
    : RemoteError(code, serverReply, Compose(code, serverReply)) {}

const char* DescribeError(std::uint32_t code) noexcept {
    switch (code) {
    case error::kTimeout:
        return "The operation timed out";
    case error::kErrorReply:
        return "The server returned an error";
    case error::kHostNotResolved:
        return "The server name could not be resolved";
    case error::kLoginRefused:
        return "The login was refused";
    case error::kCannotConnect:
        return "Cannot connect to the server";
    case error::kConnectionLost:
        return "The connection with the server was lost";
    default:
        return "FTP error";
    }
}

} // namespace tidewell::ftp

#include "core/remote/ftp/FtpSession.h"

#include "core/remote/ftp/ControlChannel.h"
#include "core/remote/ftp/FtpException.h"

namespace tidewell::ftp {

namespace {
constexpr std::uint16_t kDefaultPort = 21;

void Login(ControlChannel& channel, const std::string& user, const std::string& password) {
    auto reply = channel.Command("USER " + user);
    if (reply.code == 331 || reply.code == 332) {
        reply = channel.Command("PASS " + password);
    }
    if (reply.code == 530) {
        throw FtpException(error::kLoginRefused, reply.Text());
    }
    if (!reply.IsSuccess()) {
        throw FtpException(error::kErrorReply, reply.Text());
    }
}

// FEAT tells whether MLSD and UTF-8 names are on offer; UTF-8 is asked for, but a
// refusal is no reason to stop.
void Negotiate(ControlChannel& channel) {
    const auto features = channel.Command("FEAT");
    channel.SetFeatures(features);
    if (channel.HasFeature("UTF8")) {
        channel.Command("OPTS UTF8 ON");
    }
    const auto type = channel.Command("TYPE I");
    if (!type.IsSuccess()) {
        throw FtpException(error::kErrorReply, type.Text());
    }
}
} // namespace

std::unique_ptr<FtpConnection> FtpSession::GetFtpConnection(const std::string& server,
                                                            const std::string& user,
                                                            const std::string& password, std::uint16_t port,
                                                            bool passive, const TlsOptions& tls) const {
    if (tls.security == Security::Explicit || tls.security == Security::Implicit) {
        throw FtpException(error::kTlsFailed, "TLS is not available in this build");
    }
    if (IsUnsafeArgument(user) || IsUnsafeArgument(password)) {
        throw FtpException(error::kErrorReply, "the user name or password holds a line break or NUL");
    }
    std::string host = server;
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (host.empty() || IsUnsafeArgument(host)) {
        throw FtpException(error::kHostNotResolved, {});
    }
    auto outcome = ConnectToHost(host, port == 0 ? kDefaultPort : port, timeout_);
    if (!outcome.socket.IsOpen()) {
        throw FtpException(outcome.error, {});
    }
    auto channel = std::make_shared<ControlChannel>(std::move(outcome.socket), timeout_);
    if (passive) {
        channel->PreferPassive();
    }
    const auto greeting = channel->ReadFinalReply(channel->Deadline());
    if (!greeting.IsSuccess()) {
        throw FtpException(error::kErrorReply, greeting.Text());
    }
    Login(*channel, user, password);
    Negotiate(*channel);
    return std::make_unique<FtpConnection>(std::move(channel));
}

} // namespace tidewell::ftp

#include "core/remote/ftp/FtpSession.h"

#include "core/remote/ftp/ControlChannel.h"
#include "core/remote/ftp/FtpException.h"

#include <cctype>
#include <sstream>
#include <string_view>
#include <sys/socket.h>

namespace tidewell::ftp {

namespace {
constexpr std::uint16_t kDefaultPort = 21;
constexpr std::uint16_t kImplicitTlsPort = 990;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (auto& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

// Whether FEAT lists "AUTH TLS" (or AUTH with TLS among its mechanisms, "AUTH SSL;TLS").
bool OffersTls(const Reply& feat) {
    if (!feat.IsSuccess()) {
        return false;
    }
    for (std::size_t i = 1; i + 1 < feat.lines.size(); ++i) {
        std::istringstream words(Upper(feat.lines[i]));
        std::string name;
        std::string mechanism;
        if (!(words >> name) || name != "AUTH") {
            continue;
        }
        while (std::getline(words, mechanism, ';')) {
            std::istringstream parts(mechanism);
            for (std::string part; parts >> part;) {
                if (part == "TLS") {
                    return true;
                }
            }
        }
    }
    return false;
}

// The handshake, then the certificate: one the trust store does not vouch
// for goes to the judge, and without its yes nothing more is sent.
void Secure(ControlChannel& channel, const std::string& host, const TlsOptions& tls) {
    channel.Secure(host);
    const auto& info = *channel.Encryption();
    const LogSink& log = channel.Log();
    if (info.problem.empty()) {
        log.Write(LogKind::Info, "Certificate trusted by the system");
        return;
    }
    switch (tls.judge ? tls.judge(info) : CertificateVerdict::Rejected) {
    case CertificateVerdict::AcceptedOnce:
        log.Write(LogKind::Info, "Certificate accepted for this connection only: " + info.problem);
        return;
    case CertificateVerdict::AlwaysTrusted:
        log.Write(LogKind::Info, "Certificate always trusted for this server: " + info.problem);
        return;
    case CertificateVerdict::Rejected:
        break;
    }
    log.Write(LogKind::Error, "Certificate rejected: " + info.problem);
    channel.Drop();
    throw FtpException(error::kCertificateRejected, info.problem);
}

// Data connections are encrypted too (RFC 4217: PBSZ 0, then PROT P). A
// refusal here comes from a server that took TLS, so it is a failed secure
// connection, not a missing one (kTlsRefused), whatever the address asked for.
void ProtectData(ControlChannel& channel) {
    for (const char* command : {"PBSZ 0", "PROT P"}) {
        const auto reply = channel.Command(command);
        if (!reply.IsSuccess()) {
            throw FtpException(error::kTlsFailed, reply.Text());
        }
    }
}

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
    const bool implicit = tls.security == Security::Implicit;
    if (port == 0) {
        port = implicit ? kImplicitTlsPort : kDefaultPort;
    }
    const std::string target = server + ":" + std::to_string(port);
    const LogSink log = NextConnectionLog();
    log.Write(LogKind::Info, "Connecting to " + target);
    auto outcome = ConnectToHost(host, port, timeout_);
    if (!outcome.socket.IsOpen()) {
        FtpException failure(outcome.error, {});
        log.Write(LogKind::Error, "Connecting to " + target + " failed: " + failure.what());
        throw failure;
    }
    auto channel = std::make_shared<ControlChannel>(std::move(outcome.socket), timeout_, log);
    const auto& peer = channel->Peer();
    log.Write(LogKind::Info, "Connected to " +
                                 (peer.Family() == AF_INET6 ? "[" + peer.Host() + "]" : peer.Host()) + ":" +
                                 std::to_string(peer.Port()));
    if (passive) {
        channel->PreferPassive();
    }
    if (implicit) {
        Secure(*channel, host, tls);
    }
    const auto greeting = channel->ReadFinalReply(channel->Deadline());
    if (!greeting.IsSuccess()) {
        throw FtpException(error::kErrorReply, greeting.Text());
    }
    // Auto asks FEAT before logging in, so the password goes encrypted when it
    // can. Only Explicit insists: under Auto, a server that lists AUTH TLS yet
    // refuses it (pure-ftpd built with TLS, run without) is spoken to in plain
    // text, as one that offers nothing.
    if (tls.security == Security::Explicit ||
        (tls.security == Security::Auto && OffersTls(channel->Command("FEAT")))) {
        const auto reply = channel->Command("AUTH TLS");
        if (reply.code == 234) {
            Secure(*channel, host, tls);
        } else if (tls.security == Security::Explicit) {
            throw FtpException(error::kTlsRefused, reply.Text());
        }
    }
    Login(*channel, user, password);
    if (channel->IsSecure()) {
        ProtectData(*channel);
    }
    Negotiate(*channel);
    return std::make_unique<FtpConnection>(std::move(channel));
}

} // namespace tidewell::ftp

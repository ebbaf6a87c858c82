#include "core/remote/ftp/ControlChannel.h"

#include "core/remote/ftp/FtpException.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>

namespace tidewell::ftp {

namespace {
// The command as the log shows it: the arguments of PASS, ACCT and ADAT are secrets.
std::string Masked(std::string_view command) {
    const auto blank = command.find(' ');
    if (blank == std::string_view::npos) {
        return std::string(command);
    }
    std::string verb(command.substr(0, blank));
    for (auto& c : verb) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (verb == "PASS" || verb == "ACCT" || verb == "ADAT") {
        return verb + " ****";
    }
    return std::string(command);
}
} // namespace

bool IsUnsafeArgument(std::string_view argument) {
    return argument.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

ControlChannel::ControlChannel(Socket socket, std::chrono::milliseconds timeout, LogSink log)
    : socket_(std::move(socket)), timeout_(timeout), log_(std::move(log)) {
    SetNoDelay(socket_.Get());
    if (auto local = socket_.LocalAddress()) {
        local_ = *local;
    }
    if (auto peer = socket_.PeerAddress()) {
        peer_ = *peer;
    }
}

// A log-in that fails lets its channel go without dropping it: the close is logged here.
ControlChannel::~ControlChannel() {
    Drop();
}

void ControlChannel::Drop() {
    if (socket_.IsOpen()) {
        log_.Write(LogKind::Info, "Connection closed");
    }
    Close();
}

void ControlChannel::DropLost(const std::string& why) {
    if (socket_.IsOpen()) {
        log_.Write(LogKind::Error, "Connection lost: " + why);
    }
    Close();
}

void ControlChannel::Close() {
    tls_.reset();
    socket_.Reset();
    bufferStart_ = bufferEnd_ = 0;
}

void ControlChannel::Fail(std::uint32_t code, std::string reason) {
    FtpException failure(code, std::move(reason));
    DropLost(failure.what());
    throw failure;
}

void ControlChannel::Send(std::string_view command) {
    DropUnaskedReplies();
    SendFollowing(command);
}

void ControlChannel::DropUnaskedReplies() {
    // One poll that finds nothing in the normal case; a partial reply is read
    // to its end. One deadline for them all: a server that keeps sending
    // unasked lines cannot hold the command back past the timeout.
    const auto deadline = Deadline();
    while (ReplyPending()) {
        ReadReply(deadline);
    }
}

void ControlChannel::SendFollowing(std::string_view command) {
    Write({command});
}

void ControlChannel::SendTogether(std::string_view first, std::string_view second) {
    DropUnaskedReplies();
    Write({first, second});
}

void ControlChannel::Write(std::initializer_list<std::string_view> commands) {
    if (!socket_.IsOpen()) {
        throw FtpException(error::kConnectionLost, {});
    }
    // One write for them all: one segment, one TLS record.
    std::string lines;
    for (const auto command : commands) {
        lines.append(command).append("\r\n");
    }
    const auto deadline = Deadline();
    std::size_t sent = 0;
    while (sent < lines.size()) {
        const auto result = Complete(socket_.Get(), deadline, [&] {
            return tls_ ? tls_->Write(lines.data() + sent, lines.size() - sent)
                        : socket_.Send(lines.data() + sent, lines.size() - sent);
        });
        if (result.status == IoStatus::Done) {
            sent += result.bytes;
            continue;
        }
        Fail(result.status == IoStatus::TimedOut ? error::kTimeout : error::kConnectionLost, {});
    }
    for (const auto command : commands) {
        log_.Write(LogKind::Command, Masked(command));
    }
}

IoResult ControlChannel::ReadSome() {
    const auto result =
        tls_ ? tls_->Read(buffer_.data(), buffer_.size()) : socket_.Receive(buffer_.data(), buffer_.size());
    if (result.status == IoStatus::Done) {
        bufferStart_ = 0;
        bufferEnd_ = result.bytes;
    }
    return result;
}

void ControlChannel::Fill(Clock::time_point deadline) {
    const auto result = Complete(socket_.Get(), deadline, [&] { return ReadSome(); });
    if (result.status == IoStatus::Done) {
        return;
    }
    std::string reason = tls_ && result.status != IoStatus::Closed ? tls_->Failure() : std::string();
    Fail(result.status == IoStatus::TimedOut ? error::kTimeout : error::kConnectionLost, std::move(reason));
}

Reply ControlChannel::ReadReply(Clock::time_point deadline) {
    if (!socket_.IsOpen()) {
        throw FtpException(error::kConnectionLost, {});
    }
    for (;;) {
        if (bufferStart_ == bufferEnd_) {
            Fill(deadline);
        }
        const std::string_view pending(buffer_.data() + bufferStart_, bufferEnd_ - bufferStart_);
        bufferStart_ += parser_.Feed(pending);
        switch (parser_.GetState()) {
        case ReplyParser::State::Complete: {
            auto reply = parser_.TakeReply();
            for (const auto& line : reply.lines) {
                log_.Write(LogKind::Reply, line);
            }
            return reply;
        }
        case ReplyParser::State::Failed: {
            auto reason = parser_.FailureReason();
            parser_ = ReplyParser{};
            Fail(error::kErrorReply, reason);
        }
        case ReplyParser::State::NeedMore:
            // A reply that never ends is cut off by the deadline, however slowly it trickles.
            if (Clock::now() > deadline) {
                parser_ = ReplyParser{};
                Fail(error::kTimeout, {});
            }
            break;
        }
    }
}

Reply ControlChannel::ReadFinalReply(Clock::time_point deadline) {
    for (;;) {
        auto reply = ReadReply(deadline);
        if (!reply.IsPreliminary()) {
            return reply;
        }
    }
}

Reply ControlChannel::Command(std::string_view command) {
    Send(command);
    return ReadReply();
}

bool ControlChannel::ReplyPending() {
    if (!socket_.IsOpen()) {
        return false;
    }
    if (bufferStart_ != bufferEnd_) {
        return true;
    }
    if (tls_ && tls_->HasPending()) {
        return ReadSome().status != IoStatus::WantRead;
    }
    pollfd entry{socket_.Get(), POLLIN, 0};
    if (::poll(&entry, 1, 0) <= 0) {
        return false;
    }
    // Readable TLS may hold no reply at all (a session ticket): only a read tells.
    return !tls_ || ReadSome().status != IoStatus::WantRead;
}

bool ControlChannel::WaitForReply(Clock::time_point deadline) {
    for (;;) {
        if (!socket_.IsOpen()) {
            return false;
        }
        if (ReplyPending()) {
            return true;
        }
        if (WaitFor(socket_.Get(), POLLIN, deadline) == WaitResult::TimedOut) {
            return false;
        }
        if (!tls_) {
            return true;
        }
    }
}

void ControlChannel::Secure(const std::string& host) {
    if (bufferStart_ != bufferEnd_) {
        // Plain text after 234 would pass for the first encrypted reply.
        Fail(error::kTlsFailed, "the server sent more after accepting AUTH TLS");
    }
    context_ = std::make_unique<TlsContext>();
    tls_ = std::make_unique<TlsStream>(*context_, socket_.Get(), host, false);
    const auto result = Complete(socket_.Get(), Deadline(), [&] { return tls_->Handshake(); });
    if (result.status != IoStatus::Done) {
        const bool timedOut = result.status == IoStatus::TimedOut;
        auto reason = "TLS handshake with " + host + " failed" + (timedOut ? "" : ": " + tls_->Failure());
        Fail(timedOut ? error::kTimeout : error::kTlsFailed, std::move(reason));
    }
    tlsHost_ = host;
    encryption_ = tls_->Certificate();
    log_.Write(LogKind::Info, "Secured with " + encryption_->tlsVersion);
}

std::unique_ptr<TlsStream> ControlChannel::DataStream(int fd) const {
    return std::make_unique<TlsStream>(*context_, fd, tlsHost_, true);
}

void ControlChannel::SetFeatures(const Reply& featReply) {
    features_.clear();
    if (!featReply.IsSuccess()) {
        return;
    }
    // Lines between the first and the last name one feature each, led by a blank.
    for (std::size_t i = 1; i + 1 < featReply.lines.size(); ++i) {
        std::string_view line = featReply.lines[i];
        while (!line.empty() && line.front() == ' ') {
            line.remove_prefix(1);
        }
        while (!line.empty() && line.back() == ' ') {
            line.remove_suffix(1);
        }
        const auto end = line.find(' ');
        std::string name(line.substr(0, end));
        auto parameters = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
        while (!parameters.empty() && parameters.front() == ' ') {
            parameters.remove_prefix(1);
        }
        for (auto& c : name) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        if (!name.empty()) {
            features_.emplace(std::move(name), std::string(parameters));
        }
    }
}

bool ControlChannel::HasFeature(std::string_view name) const {
    return features_.find(name) != features_.end();
}

std::optional<std::string> ControlChannel::FeatureParameters(std::string_view name) const {
    const auto found = features_.find(name);
    if (found == features_.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace tidewell::ftp

#include "core/remote/ftp/ControlChannel.h"

#include "core/remote/ftp/FtpException.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>

namespace tidewell::ftp {

bool IsUnsafeArgument(std::string_view argument) {
    return argument.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

ControlChannel::ControlChannel(Socket socket, std::chrono::milliseconds timeout)
    : socket_(std::move(socket)), timeout_(timeout) {
    SetNoDelay(socket_.Get());
    if (auto local = socket_.LocalAddress()) {
        local_ = *local;
    }
    if (auto peer = socket_.PeerAddress()) {
        peer_ = *peer;
    }
}

void ControlChannel::Drop() {
    socket_.Reset();
    bufferStart_ = bufferEnd_ = 0;
}

void ControlChannel::Send(std::string_view command) {
    DropUnaskedReplies();
    SendFollowing(command);
}

void ControlChannel::DropUnaskedReplies() {
    // One poll that finds nothing in the normal case; a partial reply is read
    // to its end, within the timeout.
    while (ReplyPending()) {
        ReadReply(Deadline());
    }
}

void ControlChannel::SendFollowing(std::string_view command) {
    if (!socket_.IsOpen()) {
        throw FtpException(error::kConnectionLost, {});
    }
    std::string line(command);
    line += "\r\n";
    const auto deadline = Deadline();
    std::size_t sent = 0;
    while (sent < line.size()) {
        const auto n = ::send(socket_.Get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto waited = WaitFor(socket_.Get(), POLLOUT, deadline);
            if (waited == WaitResult::Ready) {
                continue;
            }
            Drop();
            throw FtpException(waited == WaitResult::TimedOut ? error::kTimeout : error::kConnectionLost, {});
        }
        Drop();
        throw FtpException(error::kConnectionLost, {});
    }
}

void ControlChannel::Fill(Clock::time_point deadline) {
    for (;;) {
        const auto n = ::recv(socket_.Get(), buffer_.data(), buffer_.size(), 0);
        if (n > 0) {
            bufferStart_ = 0;
            bufferEnd_ = static_cast<std::size_t>(n);
            return;
        }
        if (n == 0) {
            Drop();
            throw FtpException(error::kConnectionLost, {});
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            Drop();
            throw FtpException(error::kConnectionLost, {});
        }
        const auto waited = WaitFor(socket_.Get(), POLLIN, deadline);
        if (waited == WaitResult::TimedOut) {
            Drop();
            throw FtpException(error::kTimeout, {});
        }
        if (waited == WaitResult::Failed) {
            Drop();
            throw FtpException(error::kConnectionLost, {});
        }
    }
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
        case ReplyParser::State::Complete:
            return parser_.TakeReply();
        case ReplyParser::State::Failed: {
            auto reason = parser_.FailureReason();
            parser_ = ReplyParser{};
            Drop();
            throw FtpException(error::kErrorReply, reason);
        }
        case ReplyParser::State::NeedMore:
            // A reply that never ends is cut off by the deadline, however slowly it trickles.
            if (Clock::now() > deadline) {
                parser_ = ReplyParser{};
                Drop();
                throw FtpException(error::kTimeout, {});
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
    pollfd entry{socket_.Get(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
}

bool ControlChannel::WaitForReply(Clock::time_point deadline) {
    if (!socket_.IsOpen()) {
        return false;
    }
    if (bufferStart_ != bufferEnd_) {
        return true;
    }
    return WaitFor(socket_.Get(), POLLIN, deadline) != WaitResult::TimedOut;
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
        const auto end = line.find(' ');
        std::string name(line.substr(0, end));
        for (auto& c : name) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        if (!name.empty()) {
            features_.insert(std::move(name));
        }
    }
}

bool ControlChannel::HasFeature(std::string_view name) const {
    return features_.find(name) != features_.end();
}

} // namespace tidewell::ftp

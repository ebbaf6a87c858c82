#include "core/remote/sftp/SftpChannel.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpMessage.h"
#include "core/remote/sftp/SftpReplyReader.h"

#include <algorithm>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <utility>

namespace tidewell::sftp {

namespace {

// What the server may send ahead of what has been read: enough for several
// times the reads in flight, so that the window never holds a reply back.
constexpr std::uint32_t kWindow = 8 * 1024 * 1024;
// The longest reply taken: a read's data and its framing, with room to spare.
constexpr std::uint32_t kMostReply = 256 * 1024 + 1024;
// What framing a request or reply adds to its data, at most.
constexpr std::uint64_t kFraming = 1024;

std::uint32_t BigEndian32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

} // namespace

std::shared_ptr<SftpChannel> SftpChannel::Open(ssh_session ssh) {
    SshChannelPtr channel(ssh_channel_new(ssh));
    const auto refuse = [ssh](const std::string& what) {
        const std::string detail = ssh_get_error(ssh);
        const bool up = ssh_is_connected(ssh) != 0 && ssh_get_error_code(ssh) != SSH_FATAL;
        throw RemoteError(up ? error::kErrorReply : error::kConnectionLost, detail, what + ": " + detail);
    };
    if (!channel || ssh_channel_open_session(channel.get()) != SSH_OK) {
        refuse("the server opened no channel for transfers");
    }
    if (ssh_channel_request_subsystem(channel.get(), "sftp") != SSH_OK) {
        refuse("the server started no SFTP for transfers");
    }
    // Requests go out as they are made: with Nagle's algorithm a small batch
    // of them could wait a round trip for the acknowledgement of the last.
    const int on = 1;
    ::setsockopt(ssh_get_fd(ssh), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto opened = std::make_shared<SftpChannel>(ssh, std::move(channel));
    opened->Start();
    return opened;
}

SftpChannel::SftpChannel(ssh_session ssh, SshChannelPtr channel)
    : ssh_(ssh), channel_(std::move(channel)), readSinceGrown_(kWindow), scratch_(64 * 1024),
      errorSink_(std::make_unique_for_overwrite<char[]>(kWindow)) {}

SftpChannel::~SftpChannel() = default;

void SftpChannel::Start() {
    Send(SftpMessage(SSH_FXP_INIT).U32(LIBSFTP_VERSION).Bytes());
    // VERSION is the one reply without an id.
    char head[5];
    ReadRaw(head, sizeof head);
    const auto length = BigEndian32(head);
    if (static_cast<std::uint8_t>(head[4]) != SSH_FXP_VERSION || length < 5 || length - 1 > kMostReply) {
        Malformed("no VERSION in answer to INIT");
    }
    unread_ = length - 1;
    const auto body = Body();
    SftpReplyReader version(*this, body);
    if (const auto number = version.U32(); number != LIBSFTP_VERSION) {
        broken_ = true;
        throw RemoteError(error::kErrorReply, {},
                          "the server speaks SFTP version " + std::to_string(number) + ", not 3");
    }
    bool limits = false;
    while (!version.AtEnd()) {
        limits = version.String(kMostReply) == "limits@openssh.com" || limits;
        version.String(kMostReply);
    }
    if (!limits) {
        return;
    }
    const auto id = Track();
    Send(SftpMessage(SSH_FXP_EXTENDED, id).String("limits@openssh.com").Bytes());
    const auto reply = Await(id);
    const auto answer = Body();
    if (reply.type != SSH_FXP_EXTENDED_REPLY) {
        return;
    }
    SftpReplyReader sizes(*this, answer);
    const auto packet = sizes.U64();
    const auto read = sizes.U64();
    const auto write = sizes.U64();
    // 0 stands for no limit.
    const auto fit = [packet](std::uint64_t most, std::uint64_t preferred) {
        std::uint64_t size = preferred;
        if (most != 0) {
            size = std::min(size, most);
        }
        if (packet > 2 * kFraming) {
            size = std::min(size, packet - kFraming);
        }
        return static_cast<std::size_t>(std::max<std::uint64_t>(size, 1));
    };
    readSize_ = fit(read, kPreferredRead);
    writeSize_ = fit(write, kPreferredWrite);
}

std::uint64_t SftpChannel::Claim() {
    return ++claim_;
}

void SftpChannel::Release(std::uint64_t claim) {
    if (claim == claim_) {
        ++claim_;
    }
}

void SftpChannel::Forget(std::uint32_t id) {
    if (const auto found = pending_.find(id); found != pending_.end()) {
        found->second = 0;
    }
}

std::uint32_t SftpChannel::Track() {
    const auto id = nextId_++;
    pending_[id] = claim_;
    return id;
}

void SftpChannel::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto part = static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size(), kWindow));
        const int sent = ssh_channel_write(channel_.get(), bytes.data(), part);
        if (sent <= 0) {
            Lost("sending to the server failed");
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

SftpChannel::Reply SftpChannel::Next() {
    for (;;) {
        Drop(std::exchange(unread_, 0));
        char head[9];
        ReadRaw(head, sizeof head);
        const auto length = BigEndian32(head);
        if (length < 5 || length - 5 > kMostReply) {
            Malformed("a reply of " + std::to_string(length) + " bytes");
        }
        unread_ = length - 5;
        const Reply reply{static_cast<std::uint8_t>(head[4]), BigEndian32(head + 5), unread_};
        const auto found = pending_.find(reply.id);
        if (found == pending_.end()) {
            Malformed("a reply to no request");
        }
        const bool current = found->second == claim_;
        pending_.erase(found);
        if (current) {
            return reply;
        }
    }
}

SftpChannel::Reply SftpChannel::Await(std::uint32_t id) {
    const auto reply = Next();
    if (reply.id != id) {
        Malformed("a reply out of turn");
    }
    return reply;
}

void SftpChannel::Read(char* into, std::size_t size) {
    if (size > unread_) {
        Malformed("a reply shorter than its fields");
    }
    unread_ -= static_cast<std::uint32_t>(size);
    ReadRaw(into, size);
}

std::string SftpChannel::Body() {
    std::string body(unread_, '\0');
    Read(body.data(), body.size());
    return body;
}

SftpChannel::Status SftpChannel::ReadStatus() {
    const auto body = Body();
    SftpReplyReader reader(*this, body);
    Status status;
    status.code = reader.U32();
    // Servers of older drafts send the code alone.
    if (!reader.AtEnd()) {
        status.message = reader.String(kMostReply);
    }
    return status;
}

void SftpChannel::Malformed(const std::string& what) {
    broken_ = true;
    throw RemoteError(error::kConnectionLost, {}, "the server broke the SFTP protocol: " + what);
}

void SftpChannel::Lost(const std::string& what) {
    broken_ = true;
    const std::string detail = ssh_get_error(ssh_);
    throw RemoteError(error::kConnectionLost, detail, detail.empty() ? what : what + ": " + detail);
}

void SftpChannel::ReadRaw(char* into, std::size_t size) {
    while (size > 0) {
        KeepWindowOpen();
        const auto ask = static_cast<std::uint32_t>(std::min<std::size_t>(size, kWindow));
        const int got = ssh_channel_read(channel_.get(), into, ask, 0);
        if (got < 0) {
            Lost("receiving from the server failed");
        }
        if (got == 0) {
            if (ssh_channel_is_eof(channel_.get()) != 0) {
                Lost("the server ended the SFTP channel");
            }
            broken_ = true;
            throw RemoteError(error::kTimeout, {}, "the server did not answer in time");
        }
        into += got;
        size -= static_cast<std::size_t>(got);
        readSinceGrown_ += static_cast<std::size_t>(got);
    }
}

void SftpChannel::Drop(std::size_t size) {
    while (size > 0) {
        const auto part = std::min(size, scratch_.size());
        ReadRaw(scratch_.data(), part);
        size -= part;
    }
}

void SftpChannel::KeepWindowOpen() {
    if (readSinceGrown_ < kWindow / 2) {
        return;
    }
    readSinceGrown_ = 0;
    // libssh 0.10 opens the window as far as one read asks for, else to 1.25 MB
    // only, a round trip's worth of a fast link at 10 ms. Reading the error
    // stream, which the server leaves empty, without waiting and asking for the
    // whole window opens it that far and takes none of the data.
    if (ssh_channel_read_timeout(channel_.get(), errorSink_.get(), kWindow, 1, 0) < 0) {
        Lost("receiving from the server failed");
    }
}

} // namespace tidewell::sftp

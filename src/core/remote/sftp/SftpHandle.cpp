#include "core/remote/sftp/SftpHandle.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpMessage.h"
#include "core/remote/sftp/SftpReplyReader.h"

namespace tidewell::sftp {

namespace {

// SFTP's own limit on a handle's length.
constexpr std::size_t kMostName = 256;
constexpr std::uint32_t kNewFileMode = 0644;

} // namespace

SftpHandle::SftpHandle(const std::shared_ptr<SftpChannel>& channel, const std::string& path,
                       std::uint32_t flags)
    : channel_(channel), claim_(channel->Claim()) {
    const auto id = channel->Track();
    SftpMessage open(SSH_FXP_OPEN, id);
    open.String(path).U32(flags);
    if ((flags & SSH_FXF_CREAT) != 0) {
        open.U32(SSH_FILEXFER_ATTR_PERMISSIONS).U32(kNewFileMode);
    } else {
        open.U32(0);
    }
    channel->Send(open.Bytes());
    const auto reply = channel->Await(id);
    if (reply.type != SSH_FXP_HANDLE) {
        Refused(*channel, reply, "cannot open " + path);
    }
    const auto body = channel->Body();
    name_ = SftpReplyReader(*channel, body).String(kMostName);
    open_ = true;
}

SftpHandle::~SftpHandle() {
    Abandon();
}

SftpChannel& SftpHandle::Channel() {
    const auto channel = channel_.lock();
    if (!open_ || !channel || !channel->Holds(claim_)) {
        throw RemoteError(error::kConnectionLost, {}, "the file is closed");
    }
    return *channel;
}

std::optional<std::uint64_t> SftpHandle::Size() {
    auto& channel = Channel();
    const auto id = channel.Track();
    channel.Send(SftpMessage(SSH_FXP_FSTAT, id).String(name_).Bytes());
    const auto reply = channel.Await(id);
    if (reply.type == SSH_FXP_STATUS) {
        channel.ReadStatus();
        return std::nullopt;
    }
    if (reply.type != SSH_FXP_ATTRS) {
        channel.Malformed("an unexpected answer to FSTAT");
    }
    const auto body = channel.Body();
    SftpReplyReader attributes(channel, body);
    if ((attributes.U32() & SSH_FILEXFER_ATTR_SIZE) == 0) {
        return std::nullopt;
    }
    return attributes.U64();
}

void SftpHandle::Close() {
    auto& channel = Channel();
    open_ = false;
    const auto id = channel.Track();
    channel.Send(SftpMessage(SSH_FXP_CLOSE, id).String(name_).Bytes());
    const auto reply = channel.Await(id);
    channel.Release(claim_);
    if (reply.type != SSH_FXP_STATUS) {
        channel.Malformed("an unexpected answer to CLOSE");
    }
    if (const auto status = channel.ReadStatus(); status.code != SSH_FX_OK) {
        throw RemoteError(error::kErrorReply, status.message,
                          "the server did not close the file: " + status.message);
    }
}

void SftpHandle::Abandon() noexcept {
    if (!open_) {
        return;
    }
    open_ = false;
    const auto channel = channel_.lock();
    if (!channel || channel->Broken()) {
        return; // the server's handles went with the channel
    }
    // Closed even when another file took the channel over: the server keeps no handle for nothing.
    try {
        const auto id = channel->Track();
        channel->Forget(id);
        channel->Send(SftpMessage(SSH_FXP_CLOSE, id).String(name_).Bytes());
    } catch (const RemoteError&) {
        return; // now broken
    }
    channel->Release(claim_);
}

void SftpHandle::Refused(SftpChannel& channel, const SftpChannel::Reply& reply, const std::string& what) {
    if (reply.type != SSH_FXP_STATUS) {
        channel.Malformed("an unexpected answer (type " + std::to_string(reply.type) + ")");
    }
    const auto status = channel.ReadStatus();
    const auto words = status.message.empty() ? "error " + std::to_string(status.code) : status.message;
    throw RemoteError(error::kErrorReply, words, what + ": " + words);
}

} // namespace tidewell::sftp

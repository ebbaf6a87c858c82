#include "core/remote/sftp/SftpDownload.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpHandle.h"
#include "core/remote/sftp/SftpMessage.h"
#include "core/remote/sftp/SftpReplyReader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tidewell::sftp {

SftpDownload::SftpDownload(SftpHandle& handle, std::uint64_t offset, std::optional<std::uint64_t> expectedEnd)
    : handle_(handle), position_(offset), next_(offset), expectedEnd_(expectedEnd), stopAt_(expectedEnd) {}

std::size_t SftpDownload::ReadSome(char* buffer, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    if (!ended_) {
        Request();
    }
    std::size_t filled = 0;
    while (filled < size) {
        if (chunks_.empty() || !chunks_.front().answered) {
            if (filled > 0 || ended_) {
                break;
            }
            Request();
            Receive();
            continue;
        }
        auto& front = chunks_.front();
        if (front.end) {
            End();
            break;
        }
        const auto part = std::min<std::size_t>(size - filled, front.got - front.taken);
        std::memcpy(buffer + filled, front.data.data() + front.taken, part);
        front.taken += static_cast<std::uint32_t>(part);
        filled += part;
        position_ += part;
        if (front.taken == front.got) {
            Recycle(front);
            chunks_.pop_front();
        }
    }
    if (filled == 0) {
        CheckEnd();
    }
    return filled;
}

void SftpDownload::Request() {
    auto& channel = handle_.Channel();
    const std::size_t most = std::max<std::size_t>(1, kInFlight / channel.ReadSize());
    // Sent in batches, many requests to a packet, once a quarter of the window is free.
    if (!chunks_.empty() && chunks_.size() + std::max<std::size_t>(1, most / 4) > most) {
        return;
    }
    std::string requests;
    while (chunks_.size() < most && (!stopAt_ || next_ <= *stopAt_ || chunks_.empty())) {
        Chunk chunk;
        chunk.offset = next_;
        chunk.asked = static_cast<std::uint32_t>(channel.ReadSize());
        // The last request ends where the file should, and the one after it,
        // sent with it, finds the end: no round trip more for a short answer.
        if (stopAt_ && next_ < *stopAt_) {
            chunk.asked = static_cast<std::uint32_t>(std::min<std::uint64_t>(chunk.asked, *stopAt_ - next_));
        }
        next_ += chunk.asked;
        Ask(chunk, requests);
        chunks_.push_back(std::move(chunk));
    }
    channel.Send(requests);
}

void SftpDownload::Ask(Chunk& chunk, std::string& requests) {
    auto& channel = handle_.Channel();
    chunk.id = channel.Track();
    requests +=
        SftpMessage(SSH_FXP_READ, chunk.id).String(handle_.Name()).U64(chunk.offset).U32(chunk.asked).Bytes();
}

void SftpDownload::Receive() {
    auto& channel = handle_.Channel();
    const auto reply = channel.Next();
    const auto chunk = std::find_if(chunks_.begin(), chunks_.end(), [&](const Chunk& candidate) {
        return candidate.id == reply.id && !candidate.answered;
    });
    if (chunk == chunks_.end()) {
        channel.Malformed("a reply to no read");
    }
    if (reply.type == SSH_FXP_STATUS) {
        const auto status = channel.ReadStatus();
        if (status.code != SSH_FX_EOF) {
            throw RemoteError(error::kErrorReply, status.message, "reading failed: " + status.message);
        }
        chunk->answered = true;
        chunk->end = true;
        return;
    }
    if (reply.type != SSH_FXP_DATA || reply.length < 4) {
        channel.Malformed("an unexpected answer to READ");
    }
    char field[4];
    channel.Read(field, sizeof field);
    const auto length = SftpReplyReader(channel, {field, sizeof field}).U32();
    if (length != reply.length - 4 || length == 0 || length > chunk->asked) {
        channel.Malformed("an answer of " + std::to_string(length) + " bytes to a read of " +
                          std::to_string(chunk->asked));
    }
    if (spare_.empty()) {
        chunk->data.resize(channel.ReadSize());
    } else {
        chunk->data = std::move(spare_.back());
        spare_.pop_back();
    }
    channel.Read(chunk->data.data(), length);
    chunk->answered = true;
    chunk->got = length;
    if (stopAt_ && chunk->offset + length > *stopAt_) {
        stopAt_.reset();
    }
    if (length < chunk->asked) {
        Chunk rest;
        rest.offset = chunk->offset + length;
        rest.asked = chunk->asked - length;
        std::string request;
        Ask(rest, request);
        chunks_.insert(chunk + 1, std::move(rest));
        channel.Send(request);
    }
}

void SftpDownload::End() {
    ended_ = true;
    auto& channel = handle_.Channel();
    for (auto& chunk : chunks_) {
        if (!chunk.answered) {
            channel.Forget(chunk.id);
        }
        Recycle(chunk);
    }
    chunks_.clear();
}

void SftpDownload::Recycle(Chunk& chunk) {
    if (!chunk.data.empty()) {
        spare_.push_back(std::move(chunk.data));
    }
}

void SftpDownload::CheckEnd() const {
    if (!expectedEnd_ || position_ == *expectedEnd_) {
        return;
    }
    const auto what =
        std::to_string(position_) + " bytes where " + std::to_string(*expectedEnd_) + " were expected";
    throw RemoteError(position_ < *expectedEnd_ ? error::kConnectionLost : error::kErrorReply, {},
                      "the download ended after " + what);
}

} // namespace tidewell::sftp

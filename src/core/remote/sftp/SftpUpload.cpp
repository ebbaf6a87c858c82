#include "core/remote/sftp/SftpUpload.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpHandle.h"
#include "core/remote/sftp/SftpMessage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tidewell::sftp {

namespace {

// A WRITE's header: length, type, id, the handle (256 bytes at most), offset
// and data length.
constexpr std::size_t kHeaderRoom = 4 + 1 + 4 + 4 + 256 + 8 + 4;

} // namespace

SftpUpload::SftpUpload(SftpHandle& handle, std::uint64_t offset)
    : handle_(handle), position_(offset), buffer_(kHeaderRoom + RemoteStream::kMostWriteSpace) {}

char* SftpUpload::Space() {
    return buffer_.data() + kHeaderRoom;
}

void SftpUpload::Commit(std::size_t filled) {
    auto& channel = handle_.Channel();
    const auto piece = channel.WriteSize();
    const auto most = std::max<std::size_t>(1, kInFlight / piece);
    filled = std::min(filled, RemoteStream::kMostWriteSpace);
    for (std::size_t at = 0; at < filled;) {
        const auto length = std::min(piece, filled - at);
        const auto id = channel.Track();
        SftpMessage write(SSH_FXP_WRITE, id);
        const auto& header =
            write.String(handle_.Name()).U64(position_).U32(static_cast<std::uint32_t>(length)).Bytes(length);
        char* start = Space() + at - header.size();
        std::memcpy(start, header.data(), header.size());
        channel.Send({start, header.size() + length});
        unconfirmed_.insert(id);
        position_ += length;
        at += length;
        Settle(most);
    }
}

void SftpUpload::Confirm() {
    Settle(0);
}

void SftpUpload::Settle(std::size_t most) {
    auto& channel = handle_.Channel();
    while (unconfirmed_.size() > most) {
        const auto reply = channel.Next();
        if (unconfirmed_.erase(reply.id) == 0 || reply.type != SSH_FXP_STATUS) {
            channel.Malformed("an unexpected answer to WRITE");
        }
        if (const auto status = channel.ReadStatus(); status.code != SSH_FX_OK) {
            throw RemoteError(error::kErrorReply, status.message, "writing failed: " + status.message);
        }
    }
}

} // namespace tidewell::sftp

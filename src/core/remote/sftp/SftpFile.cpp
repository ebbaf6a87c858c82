#include "core/remote/sftp/SftpFile.h"

#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpSession.h"

#include <algorithm>

namespace tidewell::sftp {

SftpFile::SftpFile(SftpSession& session, SftpFilePtr file, RemoteFileSystem::Access access,
                   std::uint64_t offset, std::optional<std::uint64_t> expectedEnd)
    : session_(session), file_(std::move(file)), access_(access), position_(offset),
      expectedEnd_(expectedEnd) {}

SftpFile::~SftpFile() = default;

void SftpFile::Throw(std::uint32_t code, const std::string& what) {
    const auto detail = session_.Failure();
    failure_.emplace(code, detail, what + ": " + detail);
    throw *failure_;
}

std::size_t SftpFile::Read(void* buffer, std::size_t size) {
    auto* out = static_cast<char*>(buffer);
    std::size_t filled = 0;
    while (filled < size) {
        const auto got = ReadSome(out + filled, size - filled);
        if (got == 0) {
            break;
        }
        filled += got;
    }
    return filled;
}

std::size_t SftpFile::ReadSome(void* buffer, std::size_t size) {
    if (!file_) {
        throw RemoteError(error::kConnectionLost, {}, "the file is closed");
    }
    if (size == 0) {
        return 0;
    }
    if (!session_.MayProceed()) {
        Throw(error::kConnectionLost, "reading stopped");
    }
    const auto got = sftp_read(file_.get(), buffer, std::min(size, kRequestSize));
    if (got < 0) {
        Throw(session_.Connected() ? error::kErrorReply : error::kConnectionLost, "reading failed");
    }
    if (got == 0) {
        CheckEnd();
        return 0;
    }
    position_ += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
}

void SftpFile::CheckEnd() {
    if (!expectedEnd_ || position_ == *expectedEnd_) {
        return;
    }
    const auto what =
        std::to_string(position_) + " bytes where " + std::to_string(*expectedEnd_) + " were expected";
    throw RemoteError(position_ < *expectedEnd_ ? error::kConnectionLost : error::kErrorReply, {},
                      "the download ended after " + what);
}

char* SftpFile::WriteSpace(std::size_t size) {
    space_.resize(std::min(size, kMostWriteSpace));
    return space_.data();
}

void SftpFile::CommitWrite(std::size_t filled) {
    if (failure_) {
        throw *failure_;
    }
    if (!file_) {
        throw RemoteError(error::kConnectionLost, {}, "the file is closed");
    }
    for (std::size_t sent = 0; sent < filled;) {
        if (!session_.MayProceed()) {
            Throw(error::kConnectionLost, "writing stopped");
        }
        const auto part = std::min(filled - sent, kRequestSize);
        const auto wrote = sftp_write(file_.get(), space_.data() + sent, part);
        if (wrote <= 0) {
            Throw(session_.Connected() ? error::kErrorReply : error::kConnectionLost, "writing failed");
        }
        sent += static_cast<std::size_t>(wrote);
        position_ += static_cast<std::uint64_t>(wrote);
    }
}

bool SftpFile::Flush() {
    // Every write waited for the server's status: nothing is held back here.
    return !failure_.has_value();
}

void SftpFile::Close() {
    if (!file_) {
        return;
    }
    const bool closed = sftp_close(file_.release()) == SSH_NO_ERROR;
    // An abandoned download is no failure; an upload is whole only when the server closed it.
    if (access_ == RemoteFileSystem::Access::Read) {
        return;
    }
    if (failure_) {
        throw *failure_;
    }
    if (!closed) {
        Throw(session_.Connected() ? error::kErrorReply : error::kConnectionLost,
              "the server did not confirm the file");
    }
}

} // namespace tidewell::sftp

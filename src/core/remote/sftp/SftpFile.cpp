#include "core/remote/sftp/SftpFile.h"

#include "core/remote/CancelScope.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpSession.h"

namespace tidewell::sftp {

SftpFile::SftpFile(SftpSession& session, std::unique_ptr<SftpHandle> handle, RemoteFileSystem::Access access,
                   std::uint64_t offset, std::optional<std::uint64_t> expectedEnd)
    : session_(session), handle_(std::move(handle)) {
    if (access == RemoteFileSystem::Access::Read) {
        download_.emplace(*handle_, offset, expectedEnd);
    } else {
        upload_.emplace(*handle_, offset);
    }
}

SftpFile::~SftpFile() = default;

template <typename Action> void SftpFile::Step(const char* what, const Action& step) {
    if (failure_) {
        throw *failure_;
    }
    if (!handle_) {
        throw RemoteError(error::kConnectionLost, {}, "the file is closed");
    }
    if (!session_.MayProceed()) {
        failure_.emplace(error::kConnectionLost, session_.Failure(),
                         std::string(what) + ": " + session_.Failure());
        throw *failure_;
    }
    try {
        const auto watch = session_.Watch();
        step();
    } catch (const RemoteError& failure) {
        if (session_.Cancelled()) {
            failure_.emplace(error::kConnectionLost, "cancelled", std::string(what) + ": cancelled");
        } else {
            failure_ = failure;
        }
        throw *failure_;
    }
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
    if (!download_) {
        throw RemoteError(error::kConnectionLost, {}, "the file is not open for reading");
    }
    std::size_t got = 0;
    Step("reading stopped", [&] { got = download_->ReadSome(static_cast<char*>(buffer), size); });
    return got;
}

char* SftpFile::WriteSpace(std::size_t) {
    if (!upload_) {
        throw RemoteError(error::kConnectionLost, {}, "the file is not open for writing");
    }
    return upload_->Space();
}

void SftpFile::CommitWrite(std::size_t filled) {
    if (!upload_) {
        throw RemoteError(error::kConnectionLost, {}, "the file is not open for writing");
    }
    Step("writing stopped", [&] { upload_->Commit(filled); });
}

bool SftpFile::Flush() {
    if (upload_ && handle_ && !failure_) {
        try {
            Step("writing stopped", [&] { upload_->Confirm(); });
        } catch (const RemoteError&) {
            // Kept in failure_, for Close to throw.
        }
    }
    return !failure_.has_value();
}

void SftpFile::Close() {
    if (!handle_) {
        return;
    }
    auto handle = std::move(handle_);
    const auto* flag = CancelScope::Flag();
    // A download given up is no failure, nor an upload a cancelled run gave
    // up, and neither waits: what is still in flight is dropped when it comes.
    if (download_ || (flag != nullptr && flag->load())) {
        handle->Abandon();
        return;
    }
    if (failure_) {
        handle->Abandon();
        throw *failure_;
    }
    handle_ = std::move(handle);
    try {
        Step("the server did not confirm the file", [&] {
            upload_->Confirm();
            handle_->Close();
        });
    } catch (const RemoteError&) {
        handle_.reset();
        throw;
    }
    handle_.reset();
}

} // namespace tidewell::sftp

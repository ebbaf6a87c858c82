#pragma once

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpDownload.h"
#include "core/remote/sftp/SftpHandle.h"
#include "core/remote/sftp/SftpUpload.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tidewell::sftp {

class SftpSession;

// A remote file open on an SFTP session's transfer channel, read or written
// with many requests in flight. A download's end is checked against the whole
// file's expected length; an upload is whole once every write was confirmed
// and the server closed the file. A cancel cuts a wait short (SftpSession::Watch).
class SftpFile : public RemoteStream {
public:
    // `expectedEnd`: the length the file must have when reading reaches its end.
    SftpFile(SftpSession& session, std::unique_ptr<SftpHandle> handle, RemoteFileSystem::Access access,
             std::uint64_t offset, std::optional<std::uint64_t> expectedEnd);
    SftpFile(const SftpFile&) = delete;
    SftpFile& operator=(const SftpFile&) = delete;
    ~SftpFile() override;

    std::size_t Read(void* buffer, std::size_t size) override;
    std::size_t ReadSome(void* buffer, std::size_t size) override;
    char* WriteSpace(std::size_t size) override;
    void CommitWrite(std::size_t filled) override;
    bool Flush() override;
    void Close() override;

private:
    // Runs a step that may wait on the server, watched for a cancel; a failure
    // is kept, thrown again by every later step.
    template <typename Action> void Step(const char* what, const Action& step);

    SftpSession& session_;
    std::unique_ptr<SftpHandle> handle_;
    std::optional<SftpDownload> download_;
    std::optional<SftpUpload> upload_;
    std::optional<RemoteError> failure_;
};

} // namespace tidewell::sftp

#pragma once

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SshHandles.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tidewell::sftp {

class SftpSession;

// A remote file open on an SFTP session, read or written in large requests.
// A download's end is checked against the whole file's expected length.
class SftpFile : public RemoteStream {
public:
    // `expectedEnd`: the length the file must have when reading reaches its end.
    SftpFile(SftpSession& session, SftpFilePtr file, RemoteFileSystem::Access access, std::uint64_t offset,
             std::optional<std::uint64_t> expectedEnd);
    SftpFile(const SftpFile&) = delete;
    SftpFile& operator=(const SftpFile&) = delete;
    ~SftpFile() override;

    std::size_t Read(void* buffer, std::size_t size) override;
    std::size_t ReadSome(void* buffer, std::size_t size) override;
    char* WriteSpace(std::size_t size) override;
    void CommitWrite(std::size_t filled) override;
    bool Flush() override;
    void Close() override;

    // The most one read or write request asks for; OpenSSH serves up to 256 KiB.
    static constexpr std::size_t kRequestSize = 64 * 1024;

private:
    [[noreturn]] void Throw(std::uint32_t code, const std::string& what);
    void CheckEnd();

    SftpSession& session_;
    SftpFilePtr file_;
    RemoteFileSystem::Access access_;
    std::uint64_t position_;
    std::optional<std::uint64_t> expectedEnd_;
    std::vector<char> space_;
    std::optional<RemoteError> failure_;
};

} // namespace tidewell::sftp

#pragma once

#include "core/remote/ftp/FtpException.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace tidewell::ftp {

class DataTransfer;

// A remote file opened by FtpConnection::OpenFile, always in binary.
//
// Reading: Read fills the buffer and returns fewer bytes only at the end of the
// file, 0 after it; the end is checked against the server's final reply and
// every length known (SIZE, the 150 reply, the listed size), so a cut-off,
// overlong or refused download throws instead of ending quietly. Close before the end abandons the download;
// the connection stays usable. Writing: Write sends every byte or throws; Close ends the upload and throws
// when the server does not confirm the stored file.
class FtpFile : public RemoteStream {
public:
    enum class Access { Read, Write };

    FtpFile(std::unique_ptr<DataTransfer> transfer, Access access);
    FtpFile(const FtpFile&) = delete;
    FtpFile& operator=(const FtpFile&) = delete;
    ~FtpFile() override;

    std::size_t Read(void* buffer, std::size_t size) override;
    std::size_t ReadSome(void* buffer, std::size_t size) override;
    void Write(const void* buffer, std::size_t size);
    // Writing in place, without Write's copy: room for up to `size` bytes,
    // filled by the caller, then sent (gathered) by CommitWrite.
    char* WriteSpace(std::size_t size) override;
    void CommitWrite(std::size_t filled) override;
    // Sends what Write has gathered. False when the upload failed; Close then
    // throws that failure.
    bool Flush() override;
    void Close() override;

    Access GetAccess() const { return access_; }

private:
    std::unique_ptr<DataTransfer> transfer_;
    Access access_;
    std::optional<FtpException> failure_;
};

} // namespace tidewell::ftp

#pragma once

#include "core/remote/RemoteFileSystem.h"

#include <memory>

namespace tidewell::ftp {

class FtpConnection;

// The remote file system of one logged-in FTP connection.
class FtpFileSystem : public RemoteFileSystem {
public:
    explicit FtpFileSystem(std::unique_ptr<FtpConnection> connection);
    ~FtpFileSystem() override;

    Listing List(bool marksLinks) override;
    bool Enter(std::string_view path) override;
    std::optional<std::string> RealPath() override;
    std::unique_ptr<RemoteStream> Open(std::string_view name, Access access, std::uint64_t offset,
                                       std::optional<std::uint64_t> expectedSize) override;
    std::optional<std::uint64_t> Size(std::string_view name) override;
    bool Delete(std::string_view path) override;
    bool RemoveDirectory(std::string_view path) override;
    bool MakeDirectory(std::string_view path) override;
    bool Rename(std::string_view from, std::string_view to) override;
    bool RenameFrom(std::string_view from) override;
    bool RenameTo(std::string_view to) override;
    Renamed RenameAtOnce(std::string_view from, std::string_view to) override;
    bool IsConnected() const override;
    bool CanResume() const override;
    bool KeepAlive() override;
    const std::string& LastReply() const override;
    std::optional<CertificateInfo> Encryption() const override;
    void UsePassive() override;
    void Close() override;
    std::optional<RemoteHash> Hash(std::string_view name) override;

    // The engine's own connection, for what only FTP has (its timeout, passive mode).
    FtpConnection& Connection() { return *connection_; }

private:
    std::unique_ptr<FtpConnection> connection_;
};

} // namespace tidewell::ftp

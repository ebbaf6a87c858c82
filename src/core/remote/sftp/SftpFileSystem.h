#pragma once

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/sftp/SftpSession.h"

#include <functional>
#include <memory>
#include <string>

namespace tidewell::sftp {

// The remote file system of one logged-in SFTP session. SFTP has no current
// directory: this keeps one, absolute, and resolves names against it.
class SftpFileSystem : public RemoteFileSystem {
public:
    // Connects and logs in (SftpSession::Open); throws RemoteError.
    static std::unique_ptr<SftpFileSystem> Connect(const SftpLogin& login);

    // Starts in the log-in directory.
    explicit SftpFileSystem(std::unique_ptr<SftpSession> session);
    ~SftpFileSystem() override;

    Listing List(bool marksLinks) override;
    bool Enter(std::string_view path) override;
    std::optional<std::string> RealPath() override;
    std::unique_ptr<RemoteStream> Open(std::string_view name, Access access, std::uint64_t offset,
                                       std::optional<std::uint64_t> expectedSize) override;
    std::optional<std::uint64_t> Size(std::string_view name) override;
    bool Delete(std::string_view path) override;
    bool RemoveDirectory(std::string_view path) override;
    bool MakeDirectory(std::string_view path) override;
    // Never replaces an existing target.
    bool Rename(std::string_view from, std::string_view to) override;
    bool RenameFrom(std::string_view from) override;
    bool RenameTo(std::string_view to) override;
    Renamed RenameAtOnce(std::string_view from, std::string_view to) override;
    bool IsConnected() const override;
    bool CanResume() const override { return true; }
    bool KeepAlive() override;
    const std::string& LastReply() const override { return lastReply_; }
    // The host key and algorithms: every SSH connection is encrypted.
    std::optional<ftp::CertificateInfo> Encryption() const override;
    void UsePassive() override {}
    void Close() override;
    std::optional<RemoteHash> Hash(std::string_view) override { return std::nullopt; }

    const HostKeyInfo& HostKey() const { return session_->HostKey(); }

private:
    std::string Resolve(std::string_view path) const;
    // Records why the last call failed; returns false for the caller to pass on.
    bool Failed(const std::string& what);
    // One request that answers with a status, when the session may go on.
    bool Act(const std::string& what, const std::function<int(sftp_session)>& request);
    SftpAttributesPtr Stat(const std::string& path, bool followLinks);

    std::unique_ptr<SftpSession> session_;
    std::string current_ = "/";
    std::string renameSource_;
    std::string lastReply_;
};

} // namespace tidewell::sftp

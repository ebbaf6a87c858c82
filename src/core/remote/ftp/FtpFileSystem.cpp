#include "core/remote/ftp/FtpFileSystem.h"

#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpFileFind.h"

namespace tidewell::ftp {

FtpFileSystem::FtpFileSystem(std::unique_ptr<FtpConnection> connection)
    : connection_(std::move(connection)) {}

FtpFileSystem::~FtpFileSystem() = default;

RemoteFileSystem::Listing FtpFileSystem::List(bool marksLinks) {
    Listing listing;
    FtpFileFind find(*connection_, marksLinks);
    for (bool more = find.FindFile(); more;) {
        more = find.FindNextFile();
        if (!find.IsDots()) {
            listing.entries.push_back({find.GetFileName(), static_cast<std::int64_t>(find.GetLength()),
                                       find.GetLastWriteTime(), find.IsDirectory(), find.IsLink()});
        }
    }
    if (find.LastResult() == FtpFileFind::Result::Failed) {
        listing.result = Listed::Failed;
        if (const auto& failure = find.LastFailure()) {
            listing.failure =
                failure->ServerReply().empty() ? DescribeError(failure->ErrorCode()) : failure->ServerReply();
        }
    } else {
        // A listing of only "." and ".." is an empty directory.
        listing.result = listing.entries.empty() ? Listed::Empty : Listed::Found;
    }
    find.Close();
    return listing;
}

bool FtpFileSystem::Enter(std::string_view path) {
    return connection_->SetCurrentDirectory(path);
}

std::optional<std::string> FtpFileSystem::RealPath() {
    std::string path;
    if (!connection_->GetCurrentDirectory(path)) {
        return std::nullopt;
    }
    return path;
}

std::unique_ptr<RemoteStream> FtpFileSystem::Open(std::string_view name, Access access, std::uint64_t offset,
                                                  std::optional<std::uint64_t> expectedSize) {
    return connection_->OpenFile(
        name, access == Access::Read ? FtpFile::Access::Read : FtpFile::Access::Write, expectedSize, offset);
}

std::optional<std::uint64_t> FtpFileSystem::Size(std::string_view name) {
    try {
        return connection_->RemoteSize(name);
    } catch (const FtpException&) {
        return std::nullopt;
    }
}

bool FtpFileSystem::Delete(std::string_view path) {
    return connection_->Remove(path);
}

bool FtpFileSystem::RemoveDirectory(std::string_view path) {
    return connection_->RemoveDirectory(path);
}

bool FtpFileSystem::MakeDirectory(std::string_view path) {
    return connection_->CreateDirectory(path);
}

bool FtpFileSystem::Rename(std::string_view from, std::string_view to) {
    return connection_->Rename(from, to);
}

bool FtpFileSystem::RenameFrom(std::string_view from) {
    return connection_->RenameFrom(from);
}

bool FtpFileSystem::RenameTo(std::string_view to) {
    return connection_->RenameTo(to);
}

RemoteFileSystem::Renamed FtpFileSystem::RenameAtOnce(std::string_view from, std::string_view to) {
    const auto [took, moved] = connection_->RenameAtOnce(from, to);
    return {took, moved};
}

bool FtpFileSystem::IsConnected() const {
    return connection_->IsConnected();
}

bool FtpFileSystem::CanResume() const {
    return connection_->CanResume();
}

bool FtpFileSystem::KeepAlive() {
    return connection_->KeepAlive();
}

const std::string& FtpFileSystem::LastReply() const {
    return connection_->LastReply();
}

std::optional<CertificateInfo> FtpFileSystem::Encryption() const {
    return connection_->Encryption();
}

void FtpFileSystem::Close() {
    connection_->Close();
}

void FtpFileSystem::UsePassive() {
    connection_->PreferPassive();
}

std::optional<RemoteHash> FtpFileSystem::Hash(std::string_view name) {
    return connection_->FileHash(name);
}

} // namespace tidewell::ftp

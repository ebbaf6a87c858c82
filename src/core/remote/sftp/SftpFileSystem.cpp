#include "core/remote/sftp/SftpFileSystem.h"

#include "core/remote/sftp/SftpChannel.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpFile.h"
#include "core/remote/sftp/SftpHandle.h"
#include "core/remote/sftp/SftpPath.h"

#include <utility>

namespace tidewell::sftp {

namespace {

std::int64_t WriteTime(const sftp_attributes_struct& attributes) {
    return static_cast<std::int64_t>(attributes.mtime64 != 0 ? attributes.mtime64 : attributes.mtime);
}

} // namespace

std::unique_ptr<SftpFileSystem> SftpFileSystem::Connect(const SftpLogin& login) {
    return std::make_unique<SftpFileSystem>(SftpSession::Open(login));
}

SftpFileSystem::SftpFileSystem(std::unique_ptr<SftpSession> session) : session_(std::move(session)) {
    if (session_->MayProceed()) {
        const auto watch = session_->Watch();
        const SshStringPtr home(sftp_canonicalize_path(session_->Sftp(), "."));
        if (home) {
            current_ = home.get();
        }
    }
}

SftpFileSystem::~SftpFileSystem() = default;

std::string SftpFileSystem::Resolve(std::string_view path) const {
    return AbsolutePath(current_, path);
}

bool SftpFileSystem::Failed(const std::string& what) {
    lastReply_ = what + ": " + (session_ ? session_->Failure() : std::string("not connected"));
    return false;
}

bool SftpFileSystem::Act(const std::string& what, const std::function<int(sftp_session)>& request) {
    if (!session_ || !session_->MayProceed()) {
        return Failed(what);
    }
    const auto watch = session_->Watch();
    return request(session_->Sftp()) == SSH_NO_ERROR || Failed(what);
}

SftpAttributesPtr SftpFileSystem::Stat(const std::string& path, bool followLinks) {
    if (!session_ || !session_->MayProceed()) {
        return nullptr;
    }
    const auto watch = session_->Watch();
    return SftpAttributesPtr(followLinks ? sftp_stat(session_->Sftp(), path.c_str())
                                         : sftp_lstat(session_->Sftp(), path.c_str()));
}

RemoteFileSystem::Listing SftpFileSystem::List(bool) {
    // SFTP always tells links apart and shows hidden entries.
    Listing listing;
    const auto fail = [&] {
        Failed("listing " + current_);
        listing.result = Listed::Failed;
        listing.entries.clear();
        listing.failure = lastReply_;
        return listing;
    };
    if (!session_ || !session_->MayProceed()) {
        return fail();
    }
    const auto watch = session_->Watch();
    const SftpDirPtr dir(sftp_opendir(session_->Sftp(), current_.c_str()));
    if (!dir) {
        return fail();
    }
    while (session_->MayProceed()) {
        const SftpAttributesPtr attributes(sftp_readdir(session_->Sftp(), dir.get()));
        if (!attributes) {
            break;
        }
        const std::string name = attributes->name != nullptr ? attributes->name : "";
        if (name.empty() || name == "." || name == "..") {
            continue;
        }
        RemoteEntry entry{name, static_cast<std::int64_t>(attributes->size), WriteTime(*attributes),
                          attributes->type == SSH_FILEXFER_TYPE_DIRECTORY, false};
        if (attributes->type == SSH_FILEXFER_TYPE_SYMLINK) {
            entry.link = true;
            // A link is a directory only when its target is one; a dangling link is a file.
            if (const auto target = Stat(Resolve(name), true)) {
                entry.directory = target->type == SSH_FILEXFER_TYPE_DIRECTORY;
                entry.size = entry.directory ? 0 : static_cast<std::int64_t>(target->size);
            }
        }
        listing.entries.push_back(std::move(entry));
    }
    if (!sftp_dir_eof(dir.get())) {
        return fail();
    }
    listing.result = listing.entries.empty() ? Listed::Empty : Listed::Found;
    return listing;
}

bool SftpFileSystem::Enter(std::string_view path) {
    const auto target = Resolve(path);
    const auto attributes = Stat(target, true);
    if (!attributes) {
        return Failed("entering " + target);
    }
    if (attributes->type != SSH_FILEXFER_TYPE_DIRECTORY) {
        lastReply_ = target + " is not a directory";
        return false;
    }
    current_ = target;
    return true;
}

std::optional<std::string> SftpFileSystem::RealPath() {
    if (!session_ || !session_->MayProceed()) {
        Failed("resolving " + current_);
        return std::nullopt;
    }
    const auto watch = session_->Watch();
    const SshStringPtr real(sftp_canonicalize_path(session_->Sftp(), current_.c_str()));
    if (!real) {
        Failed("resolving " + current_);
        return std::nullopt;
    }
    return std::string(real.get());
}

std::unique_ptr<RemoteStream> SftpFileSystem::Open(std::string_view name, Access access, std::uint64_t offset,
                                                   std::optional<std::uint64_t> expectedSize) {
    const auto path = Resolve(name);
    const bool read = access == Access::Read;
    if (!session_ || !session_->MayProceed()) {
        Failed("cannot open " + path);
        throw RemoteError(error::kConnectionLost, session_ ? session_->Failure() : std::string(), lastReply_);
    }
    // Going on past byte 0 writes over what is there, and creates nothing.
    const std::uint32_t flags =
        read ? SSH_FXF_READ : (offset == 0 ? SSH_FXF_WRITE | SSH_FXF_CREAT | SSH_FXF_TRUNC : SSH_FXF_WRITE);
    try {
        const auto watch = session_->Watch();
        auto handle = std::make_unique<SftpHandle>(session_->Transfers(), path, flags);
        if (read && !expectedSize) {
            // The length now, so that a download cut short is told from a whole one.
            expectedSize = handle->Size();
        }
        return std::make_unique<SftpFile>(*session_, std::move(handle), access, offset,
                                          read ? expectedSize : std::nullopt);
    } catch (const RemoteError& failure) {
        const bool cancelled = session_->Cancelled();
        lastReply_ = cancelled ? "cannot open " + path + ": cancelled" : failure.what();
        throw RemoteError(cancelled ? error::kConnectionLost : failure.ErrorCode(),
                          cancelled ? "cancelled" : failure.ServerReply(), lastReply_);
    }
}

std::optional<std::uint64_t> SftpFileSystem::Size(std::string_view name) {
    const auto path = Resolve(name);
    const auto attributes = Stat(path, true);
    if (!attributes) {
        Failed("no size for " + path);
        return std::nullopt;
    }
    return attributes->size;
}

bool SftpFileSystem::Delete(std::string_view path) {
    const auto target = Resolve(path);
    return Act("deleting " + target, [&](sftp_session sftp) { return sftp_unlink(sftp, target.c_str()); });
}

bool SftpFileSystem::RemoveDirectory(std::string_view path) {
    const auto target = Resolve(path);
    return Act("removing " + target, [&](sftp_session sftp) { return sftp_rmdir(sftp, target.c_str()); });
}

bool SftpFileSystem::MakeDirectory(std::string_view path) {
    const auto target = Resolve(path);
    return Act("creating " + target,
               [&](sftp_session sftp) { return sftp_mkdir(sftp, target.c_str(), 0755); });
}

bool SftpFileSystem::Rename(std::string_view from, std::string_view to) {
    return RenameFrom(from) && RenameTo(to);
}

bool SftpFileSystem::RenameFrom(std::string_view from) {
    renameSource_.clear();
    const auto source = Resolve(from);
    if (!Stat(source, false)) {
        return Failed("renaming " + source);
    }
    renameSource_ = source;
    return true;
}

bool SftpFileSystem::RenameTo(std::string_view to) {
    if (renameSource_.empty()) {
        lastReply_ = "nothing to rename";
        return false;
    }
    const auto source = std::exchange(renameSource_, {});
    const auto target = Resolve(to);
    // libssh 0.10 offers no posix-rename@openssh.com, and servers of later
    // versions may replace the target: whether it exists is asked first.
    if (Stat(target, false)) {
        lastReply_ = "renaming " + source + ": " + target + " already exists";
        return false;
    }
    return Act("renaming " + source + " to " + target,
               [&](sftp_session sftp) { return sftp_rename(sftp, source.c_str(), target.c_str()); });
}

RemoteFileSystem::Renamed SftpFileSystem::RenameAtOnce(std::string_view from, std::string_view to) {
    Renamed renamed;
    renamed.from = RenameFrom(from);
    renamed.to = renamed.from && RenameTo(to);
    return renamed;
}

std::optional<ftp::CertificateInfo> SftpFileSystem::Encryption() const {
    ftp::CertificateInfo info;
    info.host = session_->HostKey().host;
    info.sha256 = session_->HostKey().sha256;
    info.hostKeyType = session_->HostKey().type;
    info.tlsVersion = session_->Algorithms();
    return info;
}

bool SftpFileSystem::IsConnected() const {
    return session_ && session_->Connected();
}

bool SftpFileSystem::KeepAlive() {
    if (!session_) {
        return false;
    }
    // A cheap round trip: a failure that leaves the session up is still an answer.
    if (!Stat(current_, true) && !session_->Connected()) {
        Failed("keep-alive");
        Close();
        return false;
    }
    return true;
}

void SftpFileSystem::Close() {
    if (session_) {
        session_->Close();
    }
}

} // namespace tidewell::sftp

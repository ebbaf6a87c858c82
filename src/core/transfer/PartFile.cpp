#include "core/transfer/PartFile.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tidewell {

namespace {

// The permission bits of the regular file at `path`, if there is one. Set-id
// and sticky bits stay behind: downloaded data never gains them.
std::optional<mode_t> PermissionsOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return info.st_mode & 0777;
}

// The longest name a file in `folder` may have there.
std::size_t NameMax(const std::filesystem::path& folder) {
    const long max = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : 255;
}

// "." + name + suffix; when that is longer than the file system takes, the
// name is cut (before a whole UTF-8 character), so any legal name has one.
std::string TemporaryName(const std::string& name, const std::string& suffix, std::size_t max) {
    std::size_t keep = name.size();
    if (1 + keep + suffix.size() > max) {
        keep = max > 1 + suffix.size() ? max - 1 - suffix.size() : 0;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
            --keep;
        }
    }
    return "." + name.substr(0, keep) + suffix;
}

} // namespace

std::string PartFile::KeyOf(std::string_view server, std::string_view path, std::int64_t size,
                            std::int64_t time) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const std::string length = std::to_string(size);
    const std::string written = std::to_string(time);
    for (const std::string_view field : {server, path, std::string_view(length), std::string_view(written)}) {
        hash.addData(QByteArrayView(field.data(), static_cast<qsizetype>(field.size())));
        hash.addData(QByteArrayView("\0", 1)); // fields cannot run into each other
    }
    return hash.result().toHex().left(16).toStdString();
}

std::filesystem::path PartFile::KeptName(const std::filesystem::path& target, std::string_view key) {
    const auto folder = target.parent_path();
    return folder / TemporaryName(target.filename().string(), ".part-" + std::string(key), NameMax(folder));
}

std::optional<PartFile> PartFile::Resume(const std::filesystem::path& target, std::string_view key) {
    std::filesystem::path kept = KeptName(target, key);
    const mode_t mode = PermissionsOf(target).value_or(0666);
    // The name is known in advance: never through a link, and only a file of our own.
    const int fd = ::open(kept.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    const off_t end = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()
                          ? ::lseek(fd, 0, SEEK_END)
                          : -1;
    if (end < 0) {
        ::close(fd);
        return std::nullopt;
    }
    PartFile part(fd, std::move(kept), target, static_cast<std::uint64_t>(end));
    part.keep_ = true;
    return part;
}

std::optional<PartFile> PartFile::Create(const std::filesystem::path& target) {
    const auto folder = target.parent_path();
    const auto max = NameMax(folder);
    // A file it replaces lends its mode from the start, so the new data is never
    // more open than the old; a new file has the usual mode (umask applies).
    const mode_t mode = PermissionsOf(target).value_or(0666);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".part-%08x", static_cast<unsigned>(random()));
        // Hidden and in the target's own folder, so that the rename stays within one file system.
        std::filesystem::path temporary = folder / TemporaryName(target.filename().string(), suffix, max);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return PartFile(fd, std::move(temporary), target);
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return std::nullopt;
}

PartFile::PartFile(int fd, std::filesystem::path temporary, std::filesystem::path target,
                   std::uint64_t length)
    : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)), length_(length) {}

PartFile::PartFile(PartFile&& other) noexcept
    : fd_(other.fd_), temporary_(std::move(other.temporary_)), target_(std::move(other.target_)),
      length_(other.length_), keep_(other.keep_) {
    other.fd_ = -1;
    other.temporary_.clear();
}

PartFile::~PartFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temporary_.empty() && !(keep_ && length_ > 0)) {
        ::unlink(temporary_.c_str());
    }
}

bool PartFile::Restart() {
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        return false;
    }
    length_ = 0;
    return true;
}

bool PartFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        length_ += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool PartFile::Commit() {
    if (const auto mode = PermissionsOf(target_)) {
        // Exactly the old mode, whatever the umask took off at creation. Refused
        // only where the file system keeps no modes (FAT): its files share one.
        ::fchmod(fd_, *mode);
    }
    // On disk before it takes the name: after a crash the target holds the old
    // file or the whole new one, never an empty or partial one.
    const bool synced = ::fsync(fd_) == 0;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || !synced || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    temporary_.clear();
    return true;
}

} // namespace tidewell

#include "core/transfer/LocalFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidewell {

std::optional<LocalFile> LocalFile::Open(const std::filesystem::path& path) {
    // Non-blocking, so that a pipe named like a file cannot hang the open; the
    // type is then checked on what was opened, not on the name.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return LocalFile(fd, static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtime));
}

LocalFile::LocalFile(LocalFile&& other) noexcept : fd_(other.fd_), size_(other.size_), time_(other.time_) {
    other.fd_ = -1;
}

LocalFile::~LocalFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<std::size_t> LocalFile::Read(char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd_, buffer + got, size - got);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool LocalFile::Seek(std::uint64_t offset) {
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool LocalFile::Unchanged() const {
    struct stat info {};
    return ::fstat(fd_, &info) == 0 && static_cast<std::int64_t>(info.st_size) == size_ &&
           static_cast<std::int64_t>(info.st_mtime) == time_;
}

} // namespace tidewell

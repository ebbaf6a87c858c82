#include "core/transfer/PartFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>

namespace tidewell {

std::optional<PartFile> PartFile::Create(const std::filesystem::path& target) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".part-%08x", static_cast<unsigned>(random()));
        // Hidden and in the target's own folder, so that the rename stays within
        // one file system; created with the usual mode of a new file (umask applies).
        std::filesystem::path temporary = target.parent_path() / ("." + target.filename().string() + suffix);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return PartFile(fd, std::move(temporary), target);
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return std::nullopt;
}

PartFile::PartFile(int fd, std::filesystem::path temporary, std::filesystem::path target)
    : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)) {}

PartFile::PartFile(PartFile&& other) noexcept
    : fd_(other.fd_), temporary_(std::move(other.temporary_)), target_(std::move(other.target_)) {
    other.fd_ = -1;
    other.temporary_.clear();
}

PartFile::~PartFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
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
    }
    return true;
}

bool PartFile::Commit() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    temporary_.clear();
    return true;
}

} // namespace tidewell

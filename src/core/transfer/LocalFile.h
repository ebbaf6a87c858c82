#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace tidewell {

// A local file opened for reading. Only a regular file counts: a socket, a
// pipe or a device is never one, even when it could be opened.
class LocalFile {
public:
    static std::optional<LocalFile> Open(const std::filesystem::path& path);

    LocalFile(LocalFile&& other) noexcept;
    LocalFile& operator=(LocalFile&&) = delete;
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    ~LocalFile();

    std::int64_t Size() const { return size_; }
    // Last write, seconds since the epoch.
    std::int64_t Time() const { return time_; }
    // Fills the buffer but at the end of the file; std::nullopt on a read error.
    std::optional<std::size_t> Read(char* buffer, std::size_t size);
    // Reads go on from `offset`.
    bool Seek(std::uint64_t offset);
    // Still the size and time it had when opened: what was sent of it is still true.
    bool Unchanged() const;

private:
    LocalFile(int fd, std::int64_t size, std::int64_t time) : fd_(fd), size_(size), time_(time) {}

    int fd_;
    std::int64_t size_;
    std::int64_t time_;
};

} // namespace tidewell

#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

namespace tidewell {

// A local file written under a temporary name beside its target and renamed
// over it only when complete: a failure or a cancel leaves no partial file
// under the real name, and an existing file survives until the new one is
// whole. A file it replaces keeps its permission bits. The temporary file goes
// with the object unless it was committed.
class PartFile {
public:
    // std::nullopt when the folder cannot hold a new file.
    static std::optional<PartFile> Create(const std::filesystem::path& target);

    PartFile(PartFile&& other) noexcept;
    PartFile& operator=(PartFile&&) = delete;
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    ~PartFile();

    bool Write(const char* data, std::size_t size);
    // Gives the file the permission bits of the one it replaces, flushes it to
    // disk, closes it and renames it over the target; false (and nothing
    // renamed) when flushing, closing or renaming fails.
    bool Commit();

private:
    PartFile(int fd, std::filesystem::path temporary, std::filesystem::path target);

    int fd_;
    std::filesystem::path temporary_;
    std::filesystem::path target_;
};

} // namespace tidewell

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

// A local file written under a temporary name beside its target and renamed
// over it only when complete: a failure or a cancel leaves no partial file
// under the real name, and an existing file survives until the new one is
// whole. A file it replaces keeps its permission bits. The temporary file goes
// with the object unless it was committed, or kept for a later download to
// go on from.
class PartFile {
public:
    // std::nullopt when the folder cannot hold a new file.
    static std::optional<PartFile> Create(const std::filesystem::path& target);
    // The part of the remote file that `key` names (see KeyOf), opened to go
    // on where it ends: a part an earlier download kept, else a new one.
    // std::nullopt as for Create, and when the name holds anything but a
    // regular file of this user's.
    static std::optional<PartFile> Resume(const std::filesystem::path& target, std::string_view key);
    // What names one remote file as it is now: the server and log-in, its
    // full path, size and time. Any change gives another key.
    static std::string KeyOf(std::string_view server, std::string_view path, std::int64_t size,
                             std::int64_t time);
    // The name of the part that Resume keeps for `target` under `key`.
    static std::filesystem::path KeptName(const std::filesystem::path& target, std::string_view key);

    PartFile(PartFile&& other) noexcept;
    PartFile& operator=(PartFile&&) = delete;
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    ~PartFile();

    bool Write(const char* data, std::size_t size);
    // Where the bytes are until Commit.
    const std::filesystem::path& Path() const { return temporary_; }
    // The bytes written so far, those of an earlier download included.
    std::uint64_t Length() const { return length_; }
    // Empties the file, to start over from byte 0.
    bool Restart();
    // Not removed when the object goes uncommitted, unless empty.
    void KeepWhenLeft(bool keep) { keep_ = keep; }
    // Gives the file the permission bits of the one it replaces, flushes it to
    // disk, closes it and renames it over the target; false (and nothing
    // renamed) when flushing, closing or renaming fails.
    bool Commit();

private:
    PartFile(int fd, std::filesystem::path temporary, std::filesystem::path target, std::uint64_t length = 0);

    int fd_;
    std::filesystem::path temporary_;
    std::filesystem::path target_;
    std::uint64_t length_;
    bool keep_ = false;
};

} // namespace tidewell

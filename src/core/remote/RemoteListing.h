#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

// Every row of the remote list carries a 32-bit tag: kDirectoryTag for a
// directory row, otherwise its file's index in RemoteListing. File indexes
// from kDirectoryTag on are shifted by one so that no file ever reads as a
// directory, however long the listing.
inline constexpr std::uint32_t kDirectoryTag = 5000;

std::uint32_t FileIndexToTag(std::size_t index);
std::size_t TagToFileIndex(std::uint32_t tag);

// One listed file.
struct RemoteFile {
    std::string name;
    std::int64_t time = 0; // last write, seconds since the epoch
    std::int64_t size = 0; // bytes
    std::string type;      // the type name shown in the Type column
};

// The files of the current listing, in the order the server sent them.
struct RemoteListing {
    std::vector<RemoteFile> files;

    std::size_t Size() const { return files.size(); }
    // Returns the new entry's tag.
    std::uint32_t AddFile(RemoteFile file);
    // The file a (non-directory) tag stands for.
    const RemoteFile& File(std::uint32_t tag) const { return files[TagToFileIndex(tag)]; }
    void Clear() { files.clear(); }
};

} // namespace tidewell

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

// The files of the current listing, in the order the server sent them.
struct RemoteListing {
    std::vector<std::string> remoteNames;
    std::vector<std::int64_t> remoteTimes;
    std::vector<std::string> remoteSizeTexts; // decimal byte counts
    std::vector<std::string> remoteTypes;

    std::size_t Size() const { return remoteNames.size(); }
    // Returns the new entry's tag.
    std::uint32_t AddFile(std::string name, std::int64_t time, std::uint64_t size, std::string type);
    void Clear();
};

} // namespace tidewell

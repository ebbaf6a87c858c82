#include "core/remote/RemoteListing.h"

namespace tidewell {

std::uint32_t FileIndexToTag(std::size_t index) {
    return static_cast<std::uint32_t>(index < kDirectoryTag ? index : index + 1);
}

std::size_t TagToFileIndex(std::uint32_t tag) {
    return tag < kDirectoryTag ? tag : static_cast<std::size_t>(tag) - 1;
}

std::uint32_t RemoteListing::AddFile(std::string name, std::int64_t time, std::uint64_t size,
                                     std::string type) {
    const std::size_t index = remoteNames.size();
    remoteNames.push_back(std::move(name));
    remoteTimes.push_back(time);
    remoteSizeTexts.push_back(std::to_string(size));
    remoteTypes.push_back(std::move(type));
    return FileIndexToTag(index);
}

void RemoteListing::Clear() {
    remoteNames.clear();
    remoteTimes.clear();
    remoteSizeTexts.clear();
    remoteTypes.clear();
}

} // namespace tidewell

#include "core/remote/RemoteListing.h"

namespace tidewell {

std::uint32_t FileIndexToTag(std::size_t index) {
    return static_cast<std::uint32_t>(index < kDirectoryTag ? index : index + 1);
}

std::size_t TagToFileIndex(std::uint32_t tag) {
    return tag < kDirectoryTag ? tag : static_cast<std::size_t>(tag) - 1;
}

std::uint32_t RemoteListing::AddFile(RemoteFile file) {
    files.push_back(std::move(file));
    return FileIndexToTag(files.size() - 1);
}

} // namespace tidewell

#pragma once

#include "core/remote/RemoteListing.h"
#include "core/remote/RowComparison.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidewell {

class RemoteFileSystem;

// One row of the remote list: a directory (kDirectoryTag) or the file its tag names.
struct ListingRow {
    std::string name;
    std::uint32_t tag = kDirectoryTag;
    std::string iconName; // empty for directories and unknown types
    std::string genericIconName;
};

// A directory listing ready to be shown in one batch.
struct ListingResult {
    std::vector<ListingRow> rows; // "." dropped, ".." present once
    RemoteListing files;          // the file rows' entries, by tag
    std::int64_t totalSize = 0;
    std::int64_t fileCount = 0;
    std::int64_t dirCount = 0; // directories other than ".."
    // Why the directory could not be read; the rows are then ".." alone, as
    // for an empty directory, but the window says what happened.
    std::optional<std::string> failure;
};

// Reads the connection's current directory; a listing that fails (refused,
// timed out, connection lost) says why. The rows come in ascending name order, as the list shows them before
// any column was chosen; then SortRows applies the chosen column.
ListingResult ReadRemoteDirectory(RemoteFileSystem& remote);

// A stable sort by the chosen column: directory rows keep their order.
void SortRows(std::vector<ListingRow>& rows, const RemoteListing& files, const SortOrder& order);

} // namespace tidewell

#pragma once

#include "core/remote/RemoteListing.h"

#include <cstdint>

namespace tidewell {

enum SortColumn : int {
    kNoSortColumn = -1,
    kFileColumn = 0,
    kSizeColumn = 1,
    kTypeColumn = 2,
    kDateColumn = 3
};

struct SortOrder {
    int sortColumn = kNoSortColumn;
    bool sortDescending = false;

    // A header click: a new column starts ascending, the same one alternates.
    void Click(int column);
};

// Negative when the row tagged tag1 goes first, positive when tag2's does.
// Directory rows go before file rows in both directions.
int CompareRows(std::uint32_t tag1, std::uint32_t tag2, const RemoteListing& listing, const SortOrder& order);

// A strict weak order agreeing with CompareRows, for a stable sort: directory
// rows are equal to each other and so keep their order, and so does every
// row before the first header click.
bool RowGoesBefore(std::uint32_t tag1, std::uint32_t tag2, const RemoteListing& listing,
                   const SortOrder& order);

} // namespace tidewell

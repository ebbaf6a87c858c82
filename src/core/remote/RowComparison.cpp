#include "core/remote/RowComparison.h"

#include <QString>

namespace tidewell {

namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

int Order(std::int64_t a, std::int64_t b) {
    return (a > b) - (a < b);
}

int CompareFiles(const RemoteFile& a, const RemoteFile& b, const SortOrder& order) {
    const int direction = order.sortDescending ? -1 : 1;
    switch (order.sortColumn) {
    case kFileColumn:
        return direction * QString::compare(QString::fromStdString(a.name), QString::fromStdString(b.name),
                                            Qt::CaseInsensitive);
    case kSizeColumn:
        return direction * Order(a.size, b.size);
    case kTypeColumn:
        return direction * Sign(QString::compare(QString::fromStdString(a.type),
                                                 QString::fromStdString(b.type), Qt::CaseSensitive));
    case kDateColumn:
        return direction * Order(a.time, b.time);
    default:
        return 0;
    }
}

bool IsSortColumn(int column) {
    return column >= kFileColumn && column <= kDateColumn;
}

} // namespace

void SortOrder::Click(int column) {
    sortDescending = sortColumn != kNoSortColumn && sortColumn == column && !sortDescending;
    sortColumn = column;
}

int CompareRows(std::uint32_t tag1, std::uint32_t tag2, const RemoteListing& listing,
                const SortOrder& order) {
    if (!IsSortColumn(order.sortColumn)) {
        return 0;
    }
    if (tag1 == kDirectoryTag) {
        return -1;
    }
    if (tag2 == kDirectoryTag) {
        return 1;
    }
    return CompareFiles(listing.File(tag1), listing.File(tag2), order);
}

bool RowGoesBefore(std::uint32_t tag1, std::uint32_t tag2, const RemoteListing& listing,
                   const SortOrder& order) {
    if (!IsSortColumn(order.sortColumn) || tag1 == tag2 || (tag1 == kDirectoryTag && tag2 == kDirectoryTag)) {
        return false;
    }
    return CompareRows(tag1, tag2, listing, order) < 0;
}

} // namespace tidewell

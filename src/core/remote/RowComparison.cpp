#include "core/remote/RowComparison.h"

#include <QString>

#include <charconv>

namespace tidewell {

namespace {

int Sign(long long v) {
    return (v > 0) - (v < 0);
}

std::int64_t SizeValue(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

int CompareFiles(std::size_t a, std::size_t b, const RemoteListing& listing, const SortOrder& order) {
    const int direction = order.sortDescending ? -1 : 1;
    switch (order.sortColumn) {
    case kFileColumn:
        return direction * QString::compare(QString::fromStdString(listing.remoteNames[a]),
                                            QString::fromStdString(listing.remoteNames[b]),
                                            Qt::CaseInsensitive);
    case kSizeColumn: {
        const auto sa = SizeValue(listing.remoteSizeTexts[a]);
        const auto sb = SizeValue(listing.remoteSizeTexts[b]);
        return direction * ((sa > sb) - (sa < sb));
    }
    case kTypeColumn:
        return direction *
               Sign(QString::compare(QString::fromStdString(listing.remoteTypes[a]),
                                     QString::fromStdString(listing.remoteTypes[b]), Qt::CaseSensitive));
    case kDateColumn: {
        const auto ta = listing.remoteTimes[a];
        const auto tb = listing.remoteTimes[b];
        return direction * ((ta > tb) - (ta < tb));
    }
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
    return CompareFiles(TagToFileIndex(tag1), TagToFileIndex(tag2), listing, order);
}

bool RowGoesBefore(std::uint32_t tag1, std::uint32_t tag2, const RemoteListing& listing,
                   const SortOrder& order) {
    if (!IsSortColumn(order.sortColumn) || tag1 == tag2 || (tag1 == kDirectoryTag && tag2 == kDirectoryTag)) {
        return false;
    }
    return CompareRows(tag1, tag2, listing, order) < 0;
}

} // namespace tidewell

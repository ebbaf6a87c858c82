#include "core/remote/ListingEngine.h"

#include "core/remote/FileTypes.h"
#include "core/remote/RemoteFileSystem.h"

#include <QString>

#include <algorithm>

namespace tidewell {

namespace {

// The list's own insertion order: names without regard to case.
void SortByName(std::vector<ListingRow>& rows) {
    std::vector<QString> keys;
    keys.reserve(rows.size());
    for (const auto& row : rows) {
        keys.push_back(QString::fromStdString(row.name).toCaseFolded());
    }
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        return QString::compare(keys[a], keys[b], Qt::CaseSensitive) < 0;
    });
    std::vector<ListingRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order) {
        sorted.push_back(std::move(rows[i]));
    }
    rows = std::move(sorted);
}

} // namespace

ListingResult ReadRemoteDirectory(RemoteFileSystem& remote) {
    ListingResult result;
    FileTypes types;
    RemoteFileSystem::Listing listing = remote.List(false);
    for (RemoteEntry& entry : listing.entries) {
        if (entry.directory) {
            ++result.dirCount;
            result.rows.push_back({std::move(entry.name), kDirectoryTag, {}, {}});
            continue;
        }
        const FileType& type = types.ForName(entry.name);
        const auto tag = result.files.AddFile({entry.name, entry.time, entry.size, type.typeName});
        result.rows.push_back({std::move(entry.name), tag, type.iconName, type.genericIconName});
        result.totalSize += entry.size;
        ++result.fileCount;
    }
    if (listing.result == RemoteFileSystem::Listed::Failed) {
        result.failure = listing.failure;
    }
    result.rows.push_back({"..", kDirectoryTag, {}, {}});
    SortByName(result.rows);
    return result;
}

void SortRows(std::vector<ListingRow>& rows, const RemoteListing& files, const SortOrder& order) {
    if (order.sortColumn == kNoSortColumn) {
        return;
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const ListingRow& a, const ListingRow& b) {
        return RowGoesBefore(a.tag, b.tag, files, order);
    });
}

} // namespace tidewell

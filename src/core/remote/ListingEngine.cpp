#include "core/remote/ListingEngine.h"

#include "core/remote/FileTypes.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpFileFind.h"

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

ListingResult ReadRemoteDirectory(ftp::FtpConnection& connection) {
    ListingResult result;
    FileTypes types;
    bool hasDotDot = false;
    ftp::FtpFileFind find(connection);
    for (bool more = find.FindFile(); more;) {
        more = find.FindNextFile();
        const std::string name = find.GetFileName();
        if (name == ".") {
            continue;
        }
        if (find.IsDirectory()) {
            if (name == "..") {
                hasDotDot = true;
            } else {
                ++result.dirCount;
            }
            result.rows.push_back({name, kDirectoryTag, {}, {}});
            continue;
        }
        const FileType& type = types.ForName(name);
        const auto size = static_cast<std::int64_t>(find.GetLength());
        const auto tag = result.files.AddFile({name, find.GetLastWriteTime(), size, type.typeName});
        result.rows.push_back({name, tag, type.iconName, type.genericIconName});
        result.totalSize += size;
        ++result.fileCount;
    }
    if (find.LastResult() == ftp::FtpFileFind::Result::Failed && find.LastFailure()) {
        const ftp::FtpException& failure = *find.LastFailure();
        result.failure =
            failure.ServerReply().empty() ? ftp::DescribeError(failure.ErrorCode()) : failure.ServerReply();
    }
    find.Close();
    if (!hasDotDot) {
        result.rows.push_back({"..", kDirectoryTag, {}, {}});
    }
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

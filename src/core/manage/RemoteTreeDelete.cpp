#include "core/manage/RemoteTreeDelete.h"

#include "core/remote/RemotePath.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpFileFind.h"

namespace tidewell {

RemoteTreeDelete::RemoteTreeDelete(ftp::FtpConnection& connection, const std::atomic<bool>& cancel,
                                   int maxDepth)
    : connection_(connection), cancel_(cancel), maxDepth_(maxDepth) {}

bool RemoteTreeDelete::Delete(const std::string& top, const std::string& returnTo) {
    directories_ = {top};
    skipped_.clear();
    visited_ = {top};
    std::vector<std::string> level{top};
    for (int depth = 0; !level.empty() && !cancel_ && connection_.IsConnected(); ++depth) {
        level = EmptyLevel(level, depth);
    }
    // A directory cannot be removed while the connection stands in it.
    connection_.SetCurrentDirectory(returnTo);
    if (cancel_ || !connection_.IsConnected()) {
        return false;
    }
    for (auto it = directories_.rbegin(); it + 1 != directories_.rend(); ++it) {
        connection_.RemoveDirectory(*it);
    }
    return connection_.RemoveDirectory(top);
}

std::vector<std::string> RemoteTreeDelete::EmptyLevel(const std::vector<std::string>& level, int depth) {
    std::vector<std::string> next;
    for (const std::string& path : level) {
        if (cancel_ || !connection_.IsConnected()) {
            break;
        }
        if (depth > maxDepth_) {
            skipped_.push_back(path);
            continue;
        }
        EmptyDirectory(path, next);
    }
    return next;
}

void RemoteTreeDelete::EmptyDirectory(const std::string& path, std::vector<std::string>& next) {
    // Without this check a refused change would leave the entries of whatever
    // directory is current to be deleted in its place.
    if (!connection_.SetCurrentDirectory(path)) {
        skipped_.push_back(path);
        return;
    }
    ftp::FtpFileFind find(connection_);
    for (bool more = find.FindFile(); more;) {
        more = find.FindNextFile();
        if (find.IsDots()) {
            continue;
        }
        const std::string name = find.GetFileName();
        if (find.IsLink() || !find.IsDirectory()) {
            connection_.Remove(name); // a file that stays keeps its directories, which the end reports
            continue;
        }
        // Some servers list a link by its target's type; removing it as a file
        // takes a link and is refused for a real directory.
        if (connection_.Remove(name)) {
            continue;
        }
        const std::string child = ChildDirectory(path, name);
        if (visited_.insert(child).second) {
            directories_.push_back(child);
            next.push_back(child);
        }
    }
    if (find.LastResult() == ftp::FtpFileFind::Result::Failed) {
        skipped_.push_back(path);
    }
    find.Close();
}

} // namespace tidewell

#include "core/manage/RemoteTreeDelete.h"

#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/remote/RemoteName.h"
#include "core/session/FileWorkers.h"

namespace tidewell {

RemoteTreeDelete::RemoteTreeDelete(RemoteDirectories& remote, RemoteFileSystem& connection,
                                   const std::atomic<bool>& cancel, int maxDepth,
                                   const ConnectionMaker* maker, int connections)
    : remote_(remote), connection_(connection), cancel_(cancel), maxDepth_(maxDepth), maker_(maker),
      connections_(connections) {}

bool RemoteTreeDelete::Delete(const std::string& top, const std::string& returnTo) {
    directories_.clear();
    skipped_.clear();
    FileWorkers::PrepareOwn(connection_, maker_, connections_);
    const std::optional<std::string> real = remote_.EnterReal(top);
    if (!real) {
        skipped_.push_back(top);
        return false;
    }
    bounds_.AddRoot(*real);
    directories_ = {*real};
    std::vector<std::string> level{*real};
    for (int depth = 0; !level.empty() && !cancel_ && connection_.IsConnected(); ++depth) {
        level = EmptyLevel(level, depth);
    }
    // A directory cannot be removed while the connection stands in it.
    remote_.Enter(returnTo);
    if (cancel_ || !connection_.IsConnected()) {
        return false;
    }
    for (auto it = directories_.rbegin(); it + 1 != directories_.rend(); ++it) {
        connection_.RemoveDirectory(*it);
    }
    return connection_.RemoveDirectory(*real);
}

std::vector<std::string> RemoteTreeDelete::EmptyLevel(const std::vector<std::string>& level, int depth) {
    std::vector<std::string> files;
    std::vector<std::string> next;
    for (const std::string& path : level) {
        if (cancel_ || !connection_.IsConnected()) {
            break;
        }
        if (depth > maxDepth_) {
            skipped_.push_back(path);
            continue;
        }
        EmptyDirectory(path, files, next);
    }
    // A file that stays keeps its directories, which the end reports.
    FileWorkers::Run(files.size(), remote_, maker_, connections_, cancel_,
                     [&files](std::size_t job, FileWorkers::Worker& worker) {
                         RemoteFileSystem& connection = worker.Directories().Connection();
                         connection.Delete(files[job]);
                         return connection.IsConnected();
                     });
    return next;
}

void RemoteTreeDelete::EmptyDirectory(const std::string& real, std::vector<std::string>& files,
                                      std::vector<std::string>& next) {
    const std::vector<RemoteEntry>* entries = remote_.List(real);
    if (entries == nullptr) {
        skipped_.push_back(real);
        return;
    }
    for (const RemoteEntry& entry : *entries) {
        if (cancel_ || !connection_.IsConnected()) {
            return;
        }
        if (!IsPlainName(entry.name)) {
            unsafe_.push_back(entry.name);
            continue;
        }
        const std::string path = RemoteDirectories::Join(real, entry.name);
        if (entry.link || !entry.directory) {
            files.push_back(path);
            continue;
        }
        // A server may list a link by its target's type: removing it as a
        // file takes the link, and is refused for a real directory.
        if (connection_.Delete(path)) {
            continue;
        }
        const std::optional<std::string> child = remote_.EnterReal(path);
        if (!child) {
            skipped_.push_back(path);
            continue;
        }
        if (bounds_.Admit(path, *child, false) == TreeBounds::Verdict::Walk) {
            directories_.push_back(*child);
            next.push_back(*child);
        }
    }
}

} // namespace tidewell

#pragma once

#include "core/remote/TreeBounds.h"

#include <atomic>
#include <string>
#include <vector>

namespace tidewell {

class ConnectionMaker;
class RemoteDirectories;
class RemoteFileSystem;

// Deletes a remote directory with everything below it. The files of each
// level go first, all directories of a level before the next one's, then the
// directories from the deepest up. Every entry is addressed by the full path
// of a directory the walk really entered, and a directory is entered only
// when its real path lies inside the tree (TreeBounds): a link is removed as
// a link and never followed, so a link to "/", to a parent or to a directory
// elsewhere costs nothing but the link. A name that could reach past its
// directory ("../x", "/x") is never sent. A directory that cannot be entered
// is skipped, never mistaken for the current one. The files (and links) of a
// level may go over several connections at once; directories are entered and
// removed on the walk's own.
class RemoteTreeDelete {
public:
    static constexpr int kMaxDepth = 64;

    // maker: makes the extra connections, up to `connections` in all; none: one.
    RemoteTreeDelete(RemoteDirectories& remote, RemoteFileSystem& connection, const std::atomic<bool>& cancel,
                     int maxDepth = kMaxDepth, const ConnectionMaker* maker = nullptr, int connections = 1);

    // Empties `top` (an absolute path), moves the connection back to
    // `returnTo`, and removes the directories found from the last to the
    // first. True when `top` itself is gone. Does nothing more once cancelled.
    bool Delete(const std::string& top, const std::string& returnTo);

    // Every directory found, top first, level by level, by real path.
    const std::vector<std::string>& Directories() const { return directories_; }
    // The directories that could not be entered or lay too deep.
    const std::vector<std::string>& Skipped() const { return skipped_; }
    // Directories listed in the tree that lead out of it, left alone.
    const std::vector<std::string>& NotFollowed() const { return bounds_.Outside(); }
    // Names that were not sent, as listed.
    const std::vector<std::string>& UnsafeNames() const { return unsafe_; }

private:
    // Empties one level; the subdirectories found make the next.
    std::vector<std::string> EmptyLevel(const std::vector<std::string>& level, int depth);
    // Lists one directory: its files go to `files`, its subdirectories to `next`.
    void EmptyDirectory(const std::string& real, std::vector<std::string>& files,
                        std::vector<std::string>& next);

    RemoteDirectories& remote_;
    RemoteFileSystem& connection_;
    const std::atomic<bool>& cancel_;
    const int maxDepth_;
    const ConnectionMaker* maker_;
    const int connections_;
    TreeBounds bounds_;
    std::vector<std::string> directories_;
    std::vector<std::string> skipped_;
    std::vector<std::string> unsafe_;
};

} // namespace tidewell

#pragma once

#include <atomic>
#include <set>
#include <string>
#include <vector>

namespace tidewell {

namespace ftp {
class FtpConnection;
}

// Deletes a remote directory with everything below it. The files of each
// level go first, all directories of a level before the next one's, then the
// directories from the deepest up. A symbolic link is removed as a link and
// never entered, so a link to a directory elsewhere costs nothing but the
// link. A directory that cannot be entered is skipped, never mistaken for the
// current one; the walk keeps to a depth limit and visits no path twice.
class RemoteTreeDelete {
public:
    static constexpr int kMaxDepth = 64;

    RemoteTreeDelete(ftp::FtpConnection& connection, const std::atomic<bool>& cancel,
                     int maxDepth = kMaxDepth);

    // Empties `top` (an absolute path), moves the connection back to
    // `returnTo`, and removes the directories found from the last to the
    // first. True when `top` itself is gone. Does nothing more once cancelled.
    bool Delete(const std::string& top, const std::string& returnTo);

    // Every directory found, top first, level by level.
    const std::vector<std::string>& Directories() const { return directories_; }
    // The directories that could not be entered or lay too deep.
    const std::vector<std::string>& Skipped() const { return skipped_; }

private:
    // Empties one level; the subdirectories found make the next.
    std::vector<std::string> EmptyLevel(const std::vector<std::string>& level, int depth);
    void EmptyDirectory(const std::string& path, std::vector<std::string>& next);

    ftp::FtpConnection& connection_;
    const std::atomic<bool>& cancel_;
    const int maxDepth_;
    std::vector<std::string> directories_;
    std::vector<std::string> skipped_;
    std::set<std::string> visited_;
};

} // namespace tidewell

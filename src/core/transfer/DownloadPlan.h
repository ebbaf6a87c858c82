#pragma once

#include "core/remote/RemoteDirectories.h"
#include "core/remote/TreeBounds.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tidewell {

// One step of a download, in the order the run takes them: the selected names
// in row order; within a directory its files in the server's order, then each
// subdirectory with its whole subtree.
struct DownloadStep {
    enum class Kind { MakeDirectory, CopyFile, SkipUnsafeName };
    Kind kind = Kind::CopyFile;
    std::string remoteDir; // where the file is (CopyFile): a directory the walk really entered
    RemoteEntry entry;
    std::filesystem::path local; // below the Download To folder
};

// Walks the selection once, listing each remote directory once; counting the
// files and walking them share what was listed. Directories are known by
// their real path (TreeBounds): a link is followed only into a part of the
// selection not walked yet, never out of it or back into an ancestor.
class DownloadPlan {
public:
    // A last bound on nesting, whatever the server reports.
    static constexpr int kMaxDepth = 64;

    // Stops early, with what it has, once `cancel` is set.
    static DownloadPlan Make(RemoteDirectories& remote, const std::string& base,
                             const std::vector<std::string>& names, const std::filesystem::path& folder,
                             const std::atomic<bool>& cancel);

    const std::vector<DownloadStep>& Steps() const { return steps_; }
    // The files the run will copy or skip, each a step of the session bar.
    std::int64_t FileCount() const { return fileCount_; }
    // Remote directories that could not be entered or listed, skipped.
    const std::vector<std::string>& Unreadable() const { return unreadable_; }
    // Why the directory the selection was listed from could not be read again;
    // std::nullopt when it could.
    const std::optional<std::string>& BaseFailure() const { return baseFailure_; }
    // Links that lead out of the selection or back into it, not followed.
    const std::vector<std::string>& NotFollowed() const { return bounds_.Outside(); }

private:
    DownloadPlan(RemoteDirectories& remote, const std::atomic<bool>& cancel)
        : remote_(remote), cancel_(cancel) {}

    void AddSelected(const std::string& base, const RemoteEntry& entry, const std::filesystem::path& folder);
    void AddChild(const std::string& dir, const RemoteEntry& entry, const std::filesystem::path& local,
                  int depth);
    void AddFile(const std::string& dir, const RemoteEntry& entry, const std::filesystem::path& local);
    // An unsafe name or a plain file, planned: true. A directory or a link: false.
    bool AddLeaf(const std::string& dir, const RemoteEntry& entry, const std::filesystem::path& local);
    void AddDirectory(const std::string& real, const RemoteEntry& entry, const std::filesystem::path& local,
                      int depth);

    RemoteDirectories& remote_;
    const std::atomic<bool>& cancel_;
    TreeBounds bounds_;
    std::vector<DownloadStep> steps_;
    std::int64_t fileCount_ = 0;
    std::vector<std::string> unreadable_;
    std::optional<std::string> baseFailure_;
};

} // namespace tidewell

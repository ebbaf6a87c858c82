#pragma once

#include "core/transfer/RemoteDirectories.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tidewell {

// One step of a download, in the order the run takes them: the selected names
// in row order; within a directory its files in the server's order, then each
// subdirectory with its whole subtree.
struct DownloadStep {
    enum class Kind { MakeDirectory, CopyFile, SkipUnsafeName };
    Kind kind = Kind::CopyFile;
    std::string remoteDir; // where the file is (CopyFile)
    RemoteEntry entry;
    std::filesystem::path local; // below the Download To folder
};

// Walks the selection once, listing each remote directory once; counting the
// files and walking them share what was listed.
class DownloadPlan {
public:
    // Deeper trees are cut off: a server-side link to a parent would otherwise never end.
    static constexpr int kMaxDepth = 64;

    static DownloadPlan Make(RemoteDirectories& remote, const std::string& base,
                             const std::vector<std::string>& names, const std::filesystem::path& folder);

    const std::vector<DownloadStep>& Steps() const { return steps_; }
    // The files the run will copy or skip, each a step of the session bar.
    std::int64_t FileCount() const { return fileCount_; }
    // Remote directories that could not be entered or listed, skipped.
    const std::vector<std::string>& Unreadable() const { return unreadable_; }

    // A remote name that can be joined to a local path: not empty, ".", "..",
    // and without "/", "\" or NUL.
    static bool IsSafeName(std::string_view name);

private:
    void AddEntry(RemoteDirectories& remote, const std::string& dir, const RemoteEntry& entry,
                  const std::filesystem::path& local, int depth);
    void AddDirectory(RemoteDirectories& remote, const std::string& dir, const std::filesystem::path& local,
                      int depth);

    std::vector<DownloadStep> steps_;
    std::int64_t fileCount_ = 0;
    std::vector<std::string> unreadable_;
    std::set<std::string> visited_;
};

} // namespace tidewell

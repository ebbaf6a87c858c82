#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tidewell {

// One step of an upload, in the order the run takes them: the paths in the
// order given; a directory is entered, its entries follow in name order (each
// subdirectory with its whole subtree), and it is left again.
struct UploadStep {
    enum class Kind { EnterDirectory, LeaveDirectory, CopyFile };
    Kind kind = Kind::CopyFile;
    std::filesystem::path local;
    std::string name; // the remote name: the local path's last component
};

// Walks the local paths of an upload once, before the run starts, so that the
// session bar knows its range and the run walks exactly what was counted.
// A file is a regular file that opens for reading; a directory is walked once
// per run, however many links lead to it, so a link back to a parent folder
// cannot loop. Anything else is set aside and named.
class UploadPlan {
public:
    static UploadPlan CountLocalFiles(const std::vector<std::filesystem::path>& paths);

    const std::vector<UploadStep>& Steps() const { return steps_; }
    std::int64_t FileCount() const { return fileCount_; }
    // "path (why)" for each path left out.
    const std::vector<std::string>& Skipped() const { return skipped_; }

private:
    void CountSinglePath(const std::filesystem::path& path);

    std::vector<UploadStep> steps_;
    std::int64_t fileCount_ = 0;
    std::vector<std::string> skipped_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited_; // device and inode of each directory
};

} // namespace tidewell

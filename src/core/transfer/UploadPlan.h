#pragma once

#include "core/remote/TreeBounds.h"
#include <atomic>
#include <cstdint>

#include <filesystem>
#include <string>
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
// A file is a regular file that opens for reading. Folders are known by their
// real path (TreeBounds): a link inside a chosen folder is followed only into
// a part of the chosen folders not walked yet, never out of them or back into
// a parent, so a link to "/" or to a parent folder costs nothing. Anything
// else is set aside and named.
class UploadPlan {
public:
    // Stops early, with what it has, once `cancel` is set.
    static UploadPlan CountLocalFiles(const std::vector<std::filesystem::path>& paths,
                                      const std::atomic<bool>* cancel = nullptr);

    const std::vector<UploadStep>& Steps() const { return steps_; }
    std::int64_t FileCount() const { return fileCount_; }
    // "path (why)" for each path left out.
    const std::vector<std::string>& Skipped() const { return skipped_; }

private:
    // `parent`: the real path of the folder that holds `path`; none for a path the user chose.
    void CountSinglePath(const std::filesystem::path& path, const std::string* parent);
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }

    std::vector<UploadStep> steps_;
    std::int64_t fileCount_ = 0;
    std::vector<std::string> skipped_;
    TreeBounds bounds_;
    const std::atomic<bool>* cancel_ = nullptr;
};

} // namespace tidewell

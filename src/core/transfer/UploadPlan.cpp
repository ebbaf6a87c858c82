#include "core/transfer/UploadPlan.h"

#include "core/transfer/LocalFile.h"

#include <algorithm>
#include <sys/stat.h>
#include <system_error>

namespace tidewell {

namespace fs = std::filesystem;

UploadPlan UploadPlan::CountLocalFiles(const std::vector<fs::path>& paths) {
    UploadPlan plan;
    for (const fs::path& path : paths) {
        plan.CountSinglePath(path);
    }
    return plan;
}

void UploadPlan::CountSinglePath(const fs::path& path) {
    // A trailing separator would leave the last component empty.
    const fs::path clean = path.has_filename() ? path : path.parent_path();
    const std::string name = clean.filename().string();
    struct stat info {};
    if (::stat(clean.c_str(), &info) != 0) {
        skipped_.push_back(clean.string() + " (not found)");
        return;
    }
    if (S_ISREG(info.st_mode)) {
        if (LocalFile::Open(clean)) {
            steps_.push_back({UploadStep::Kind::CopyFile, clean, name});
            ++fileCount_;
        } else {
            skipped_.push_back(clean.string() + " (cannot be read)");
        }
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        skipped_.push_back(clean.string() + " (not a file or folder)");
        return;
    }
    if (!visited_.emplace(info.st_dev, info.st_ino).second) {
        skipped_.push_back(clean.string() + " (a link to a folder already uploaded)");
        return;
    }
    std::error_code error;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(clean, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    if (error || name.empty()) {
        skipped_.push_back(clean.string() + " (cannot be read)");
        return;
    }
    std::sort(entries.begin(), entries.end());
    steps_.push_back({UploadStep::Kind::EnterDirectory, clean, name});
    for (const fs::path& entry : entries) {
        CountSinglePath(entry);
    }
    steps_.push_back({UploadStep::Kind::LeaveDirectory, clean, name});
}

} // namespace tidewell

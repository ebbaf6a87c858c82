#include "core/transfer/UploadPlan.h"

#include "core/transfer/LocalFile.h"

#include <algorithm>
#include <sys/stat.h>
#include <system_error>
#include <utility>

namespace tidewell {

namespace fs = std::filesystem;

UploadPlan UploadPlan::CountLocalFiles(const std::vector<fs::path>& paths, const std::atomic<bool>* cancel) {
    UploadPlan plan;
    plan.cancel_ = cancel;
    for (const fs::path& path : paths) {
        plan.CountSinglePath(path, nullptr);
    }
    plan.cancel_ = nullptr;
    return plan;
}

void UploadPlan::CountSinglePath(const fs::path& path, const std::string* parent) {
    if (Cancelled()) {
        return;
    }
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
    std::error_code error;
    const std::string real = fs::canonical(clean, error).string();
    if (error) {
        skipped_.push_back(clean.string() + " (cannot be read)");
        return;
    }
    struct stat own {};
    const bool link = ::lstat(clean.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
    const TreeBounds::Verdict verdict =
        parent == nullptr ? bounds_.AddRoot(real) : bounds_.Admit(*parent + "/" + name, real, link);
    if (verdict == TreeBounds::Verdict::Seen) {
        if (parent == nullptr) {
            skipped_.push_back(clean.string() + " (a link to a folder already uploaded)");
        }
        return;
    }
    if (verdict == TreeBounds::Verdict::Outside) {
        skipped_.push_back(clean.string() +
                           " (a link that leads out of the folders chosen, or back into them)");
        return;
    }
    // In name order, links last: a link into the chosen folders is followed
    // only when the folder it leads to was not walked at its own place.
    std::vector<std::pair<bool, fs::path>> entries;
    for (fs::directory_iterator it(clean, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        entries.emplace_back(it->is_symlink(ignored), it->path());
    }
    if (error || name.empty()) {
        skipped_.push_back(clean.string() + " (cannot be read)");
        return;
    }
    std::sort(entries.begin(), entries.end());
    steps_.push_back({UploadStep::Kind::EnterDirectory, clean, name});
    for (const auto& entry : entries) {
        CountSinglePath(entry.second, &real);
    }
    steps_.push_back({UploadStep::Kind::LeaveDirectory, clean, name});
}

} // namespace tidewell

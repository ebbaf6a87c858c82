#include "core/transfer/DownloadPlan.h"

namespace tidewell {

bool DownloadPlan::IsSafeName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

DownloadPlan DownloadPlan::Make(RemoteDirectories& remote, const std::string& base,
                                const std::vector<std::string>& names, const std::filesystem::path& folder) {
    DownloadPlan plan;
    for (const std::string& name : names) {
        if (const RemoteEntry* entry = remote.Find(base, name)) {
            plan.AddEntry(remote, base, *entry, folder, 0);
        }
    }
    return plan;
}

void DownloadPlan::AddEntry(RemoteDirectories& remote, const std::string& dir, const RemoteEntry& listed,
                            const std::filesystem::path& local, int depth) {
    RemoteEntry entry = listed;
    if (entry.link && !entry.directory && IsSafeName(entry.name)) {
        // A listing does not say where a link leads: one that can be entered is a directory.
        entry.directory = remote.Enter(RemoteDirectories::Join(dir, entry.name));
    }
    if (!IsSafeName(entry.name)) {
        steps_.push_back({DownloadStep::Kind::SkipUnsafeName, dir, entry, {}});
        fileCount_ += entry.directory ? 0 : 1;
        return;
    }
    const std::filesystem::path target = local / entry.name;
    if (!entry.directory) {
        steps_.push_back({DownloadStep::Kind::CopyFile, dir, entry, target});
        ++fileCount_;
        return;
    }
    steps_.push_back({DownloadStep::Kind::MakeDirectory, dir, entry, target});
    AddDirectory(remote, RemoteDirectories::Join(dir, entry.name), target, depth + 1);
}

void DownloadPlan::AddDirectory(RemoteDirectories& remote, const std::string& dir,
                                const std::filesystem::path& local, int depth) {
    const std::vector<RemoteEntry>* entries =
        depth > kMaxDepth || !visited_.insert(dir).second ? nullptr : remote.List(dir);
    if (entries == nullptr) {
        unreadable_.push_back(dir);
        return;
    }
    // Files first, then the subdirectories, each in the server's order.
    std::vector<const RemoteEntry*> directories;
    for (const RemoteEntry& entry : *entries) {
        if (entry.directory || entry.link) {
            directories.push_back(&entry);
        } else {
            AddEntry(remote, dir, entry, local, depth);
        }
    }
    for (const RemoteEntry* entry : directories) {
        AddEntry(remote, dir, *entry, local, depth);
    }
}

} // namespace tidewell

#include "core/transfer/DownloadPlan.h"

#include "core/remote/RemoteName.h"

namespace tidewell {

DownloadPlan DownloadPlan::Make(RemoteDirectories& remote, const std::string& base,
                                const std::vector<std::string>& names, const std::filesystem::path& folder,
                                const std::atomic<bool>& cancel) {
    DownloadPlan plan(remote, cancel);
    if (!names.empty() && !cancel && remote.List(base) == nullptr) {
        plan.baseFailure_ = remote.LastFailure();
        return plan;
    }
    for (const std::string& name : names) {
        if (cancel) {
            break;
        }
        if (const RemoteEntry* entry = remote.Find(base, name)) {
            plan.AddSelected(base, *entry, folder);
        }
    }
    return plan;
}

void DownloadPlan::AddFile(const std::string& dir, const RemoteEntry& entry,
                           const std::filesystem::path& local) {
    steps_.push_back({DownloadStep::Kind::CopyFile, dir, entry, local / entry.name});
    ++fileCount_;
}

bool DownloadPlan::AddLeaf(const std::string& dir, const RemoteEntry& entry,
                           const std::filesystem::path& local) {
    if (!IsPlainName(entry.name)) {
        steps_.push_back({DownloadStep::Kind::SkipUnsafeName, dir, entry, {}});
        fileCount_ += entry.directory ? 0 : 1;
        return true;
    }
    if (!entry.directory && !entry.link) {
        AddFile(dir, entry, local);
        return true;
    }
    return false;
}

// A selected directory (or link to one) is walked wherever it leads: the user chose it.
void DownloadPlan::AddSelected(const std::string& base, const RemoteEntry& listed,
                               const std::filesystem::path& folder) {
    if (AddLeaf(base, listed, folder)) {
        return;
    }
    const std::string path = RemoteDirectories::Join(base, listed.name);
    const std::optional<std::string> real = remote_.EnterReal(path);
    if (!real) {
        if (listed.link) {
            AddFile(base, listed, folder); // a link that cannot be entered leads to a file, or nowhere
        } else {
            unreadable_.push_back(path);
        }
        return;
    }
    if (bounds_.AddRoot(*real) == TreeBounds::Verdict::Walk) {
        AddDirectory(*real, listed, folder, 1);
    }
}

void DownloadPlan::AddChild(const std::string& dir, const RemoteEntry& entry,
                            const std::filesystem::path& local, int depth) {
    if (AddLeaf(dir, entry, local)) {
        return;
    }
    const std::string path = RemoteDirectories::Join(dir, entry.name);
    const std::optional<std::string> real = depth > kMaxDepth ? std::nullopt : remote_.EnterReal(path);
    if (!real) {
        if (entry.link && depth <= kMaxDepth) {
            AddFile(dir, entry, local);
        } else {
            unreadable_.push_back(path);
        }
        return;
    }
    if (bounds_.Admit(path, *real, entry.link) == TreeBounds::Verdict::Walk) {
        AddDirectory(*real, entry, local, depth + 1);
    }
}

void DownloadPlan::AddDirectory(const std::string& real, const RemoteEntry& entry,
                                const std::filesystem::path& local, int depth) {
    const std::filesystem::path target = local / entry.name;
    steps_.push_back({DownloadStep::Kind::MakeDirectory, real, entry, target});
    const std::vector<RemoteEntry>* entries = cancel_ ? nullptr : remote_.List(real);
    if (entries == nullptr) {
        if (!cancel_) {
            unreadable_.push_back(real);
        }
        return;
    }
    // Files first, then the real subdirectories, then links: a link into the
    // selection is walked only when the directory it leads to was not.
    std::vector<const RemoteEntry*> directories;
    std::vector<const RemoteEntry*> links;
    for (const RemoteEntry& child : *entries) {
        if (child.link) {
            links.push_back(&child);
        } else if (child.directory) {
            directories.push_back(&child);
        } else {
            AddChild(real, child, target, depth);
        }
    }
    directories.insert(directories.end(), links.begin(), links.end());
    for (const RemoteEntry* child : directories) {
        if (cancel_) {
            return;
        }
        AddChild(real, *child, target, depth);
    }
}

} // namespace tidewell

#include "core/remote/RemoteDirectories.h"

#include <algorithm>

namespace tidewell {

bool RemoteDirectories::Enter(const std::string& dir) {
    if (!current_.empty() && current_ == dir) {
        return true;
    }
    if (!remote_->Enter(dir)) {
        current_.clear();
        return false;
    }
    current_ = dir;
    return true;
}

std::optional<std::string> RemoteDirectories::EnterReal(const std::string& dir) {
    if (const auto known = real_.find(dir); known != real_.end()) {
        return Enter(dir) ? std::optional(known->second) : std::nullopt;
    }
    if (!Enter(dir)) {
        return std::nullopt;
    }
    const std::optional<std::string> found = remote_->RealPath();
    if (!found) {
        return std::nullopt;
    }
    const std::string& real = *found;
    real_.emplace(dir, real);
    real_.emplace(real, real);
    current_ = real; // both texts name where the connection stands; the walk goes on by the real one
    return real;
}

const std::vector<RemoteEntry>* RemoteDirectories::List(const std::string& dir) {
    auto [it, added] = listed_.try_emplace(dir);
    if (added && !Enter(dir)) {
        failure_ = remote_->LastReply();
    } else if (added) {
        RemoteFileSystem::Listing listing = remote_->List(true);
        if (listing.result == RemoteFileSystem::Listed::Failed) {
            failure_ = std::move(listing.failure);
        } else {
            it->second = std::move(listing.entries);
        }
    }
    return it->second ? &*it->second : nullptr;
}

const RemoteEntry* RemoteDirectories::Find(const std::string& dir, std::string_view name) {
    const auto* entries = List(dir);
    if (entries == nullptr) {
        return nullptr;
    }
    const auto found = std::find_if(entries->begin(), entries->end(),
                                    [&](const RemoteEntry& entry) { return entry.name == name; });
    return found == entries->end() ? nullptr : &*found;
}

void RemoteDirectories::Note(const std::string& dir, RemoteEntry entry) {
    const auto it = listed_.find(dir);
    if (it == listed_.end() || !it->second) {
        return;
    }
    auto& entries = *it->second;
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const RemoteEntry& known) { return known.name == entry.name; });
    if (found == entries.end()) {
        entries.push_back(std::move(entry));
    } else {
        *found = std::move(entry);
    }
}

void RemoteDirectories::Forget(const std::string& dir, std::string_view name) {
    const auto it = listed_.find(dir);
    if (it != listed_.end() && it->second) {
        std::erase_if(*it->second, [&](const RemoteEntry& known) { return known.name == name; });
    }
}

void RemoteDirectories::NoteCreated(const std::string& dir, std::string_view name) {
    Note(dir, {std::string(name), 0, 0, true, false});
    listed_[Join(dir, name)] = std::vector<RemoteEntry>{};
}

std::string RemoteDirectories::Join(const std::string& dir, std::string_view name) {
    std::string path = dir;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

} // namespace tidewell

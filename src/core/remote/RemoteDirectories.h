#pragma once

#include "core/remote/RemoteFileSystem.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// The remote directories a run works in: each is entered and listed at most
// once per run, and the connection is moved only when it is somewhere else.
// Listings mark links and show hidden entries (RemoteFileSystem::List).
class RemoteDirectories {
public:
    explicit RemoteDirectories(RemoteFileSystem& remote) : remote_(&remote) {}

    // What one connection learnt of the directories, for another connection
    // of the same run to start from: the listings and real paths, not where
    // the connection stands.
    struct Known {
        std::map<std::string, std::optional<std::vector<RemoteEntry>>> listed;
        std::map<std::string, std::string> real;
    };
    RemoteDirectories(RemoteFileSystem& remote, Known known)
        : remote_(&remote), listed_(std::move(known.listed)), real_(std::move(known.real)) {}
    Known Knowledge() const { return {listed_, real_}; }

    RemoteFileSystem& Connection() const { return *remote_; }
    // Goes on over a new connection to the same server (the old one was
    // lost): what was learnt stays, where the connection stands does not.
    void Reattach(RemoteFileSystem& remote) {
        remote_ = &remote;
        current_.clear();
    }

    // Moves the connection to dir; false when the server refuses.
    bool Enter(const std::string& dir);
    // Moves the connection to dir and says where it really stands: the
    // server's answer to PWD, which resolves links on servers that resolve
    // them. std::nullopt when dir cannot be entered or the server will not say.
    std::optional<std::string> EnterReal(const std::string& dir);
    // The entries of dir other than "." and "..", in the server's order;
    // nullptr when dir cannot be entered or its listing failed.
    const std::vector<RemoteEntry>* List(const std::string& dir);
    // Why the last listing that failed did: the server's reply, or what went wrong.
    const std::string& LastFailure() const { return failure_; }
    // The entry of exactly that name in dir: a longer name that merely starts
    // with it is another entry.
    const RemoteEntry* Find(const std::string& dir, std::string_view name);

    // What the run itself changed, so that a directory read once stays true:
    // an entry written (added or replaced), one removed, a directory made (empty).
    void Note(const std::string& dir, RemoteEntry entry);
    void Forget(const std::string& dir, std::string_view name);
    void NoteCreated(const std::string& dir, std::string_view name);

    static std::string Join(const std::string& dir, std::string_view name);

private:
    RemoteFileSystem* remote_;
    std::map<std::string, std::optional<std::vector<RemoteEntry>>> listed_;
    std::map<std::string, std::string> real_;
    std::string current_;
    std::string failure_;
};

} // namespace tidewell

#include "core/manage/DeleteRun.h"

#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/remote/RemoteName.h"
#include "core/remote/RemotePath.h"

namespace tidewell {

namespace {

constexpr const char* kError = "ERROR";

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

} // namespace

DeleteRun::DeleteRun(DeleteRequest request, Done done)
    : request_(std::move(request)), done_(std::move(done)) {}

Answer DeleteRun::Say(const std::string& text, const char* caption, MessageIcon icon,
                      MessageButtons buttons) {
    return context_->window.Ask({text, caption, icon, buttons});
}

void DeleteRun::Execute(RunContext& context) {
    context_ = &context;
    const bool confirmed = Say("Delete the selected file(s)?", "Delete Confirmation", MessageIcon::Question,
                               MessageButtons::YesNo) == Answer::Yes;
    if (!context.connection) {
        return; // the window deletes only while logged in
    }
    RemoteFileSystem& connection = *context.connection;
    RemoteDirectories remote(connection);
    remote_ = &remote;
    bool relist = true;
    listed_ = connection.RealPath().value_or(std::string());
    const bool located = !listed_.empty();
    if (confirmed && located) {
        context.window.SetFileNameText("Deleting, Please Wait...");
        for (std::size_t i = 0; i < request_.rows.size() && !context.cancel; ++i) {
            const DeleteRow& row = request_.rows[i];
            Step step = Step::Stop;
            if (row.name == "..") {
                Say("Cannot delete directory " + Quoted(".."), kError, MessageIcon::Exclamation);
            } else if (!IsPlainName(row.name)) {
                Say("A remote name that cannot be addressed safely was not deleted: " + Quoted(row.name),
                    kError, MessageIcon::Exclamation);
            } else {
                step = row.directory ? DeleteDirectory(row.name) : DeleteFile(row.name);
            }
            if (step != Step::Deleted) {
                relist = step == Step::Stop;
                break;
            }
            outcome_.deleted.push_back(i);
        }
    }
    remote_ = nullptr;
    if (!connection.IsConnected()) {
        Say("The connection to the FTP server was lost", "FTP Error", MessageIcon::Stop);
        context.connection.reset();
        return;
    }
    outcome_.listing.connected = true;
    if (relist) {
        if (located) {
            connection.Enter(listed_);
        }
        outcome_.listing.listing = ReadRemoteDirectory(connection);
        if (outcome_.listing.listing->failure) {
            Say("The directory could not be listed: " + *outcome_.listing.listing->failure, "FTP Error",
                MessageIcon::Stop);
        }
    }
}

DeleteRun::Step DeleteRun::DeleteFile(const std::string& name) {
    if (context_->connection->Delete(ChildDirectory(listed_, name))) {
        return Step::Deleted;
    }
    if (context_->connection->IsConnected()) {
        Say("Could not delete file(s)", kError, MessageIcon::Exclamation);
    }
    return Step::Stop;
}

DeleteRun::Step DeleteRun::DeleteDirectory(const std::string& name) {
    RemoteFileSystem& connection = *context_->connection;
    const std::string path = ChildDirectory(listed_, name);
    // A link listed as a directory goes as a link: its target is no part of the selection.
    if (connection.Delete(path)) {
        return Step::Deleted;
    }
    const RemoteEntry* listed = remote_->Find(listed_, name);
    const bool link = listed != nullptr && listed->link;
    const std::size_t count = link ? 0 : CountEntries(path);
    if (connection.RemoveDirectory(path)) {
        return Step::Deleted;
    }
    if (!connection.IsConnected()) {
        return Step::Stop;
    }
    if (count == 0) {
        Say("Cannot delete directory, you may not have permission to do this", kError,
            MessageIcon::Exclamation);
        return Step::StopWithoutListing;
    }
    if (Say("The directory " + Quoted(name) + " contains files, Remove Them?", "QUESTION",
            MessageIcon::Question, MessageButtons::OkCancel) != Answer::Ok) {
        return Step::Stop;
    }
    return DeleteTree(name);
}

std::size_t DeleteRun::CountEntries(const std::string& path) {
    const std::vector<RemoteEntry>* entries = remote_->List(path);
    remote_->Enter(listed_);
    return entries == nullptr ? 0 : entries->size();
}

DeleteRun::Step DeleteRun::DeleteTree(const std::string& name) {
    RemoteTreeDelete tree(*remote_, *context_->connection, context_->cancel, request_.maxDepth,
                          request_.more ? &*request_.more : nullptr, request_.connections);
    const bool deleted = tree.Delete(ChildDirectory(listed_, name), listed_);
    if (context_->cancel || !context_->connection->IsConnected()) {
        return Step::Stop;
    }
    Name("These remote directories could not be entered and were not emptied:", tree.Skipped());
    Name("These directories lead out of the tree and were left alone (only the link was removed where it "
         "could "
         "be):",
         tree.NotFollowed());
    Name("These names could reach outside their directory and were not sent to the server:",
         tree.UnsafeNames());
    if (deleted) {
        return Step::Deleted;
    }
    Say("Some of the files could not be deleted", "INFORMATION", MessageIcon::Information);
    return Step::StopWithoutListing;
}

void DeleteRun::Name(const std::string& heading, const std::vector<std::string>& names) {
    if (names.empty()) {
        return;
    }
    constexpr std::size_t kNamed = 10; // the message stays readable
    std::string text = heading;
    for (std::size_t i = 0; i < names.size() && i < kNamed; ++i) {
        text += "\n" + names[i];
    }
    if (names.size() > kNamed) {
        text += "\n(and " + std::to_string(names.size() - kNamed) + " more)";
    }
    Say(text, kError, MessageIcon::Exclamation);
}

} // namespace tidewell

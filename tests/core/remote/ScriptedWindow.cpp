#include "core/remote/ScriptedWindow.h"

#include "core/remote/ListingWorker.h"

namespace tidewell::test {

void ScriptedWindow::Record(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
}

int ScriptedWindow::ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                                   MessageButtons buttons) {
    Record("message " + text);
    std::lock_guard lock(mutex_);
    messages_.push_back({text, caption, icon, buttons});
    return Answer::Ok;
}

void ScriptedWindow::SetIdleState(bool idle) {
    Record(idle ? "idle" : "busy");
}

void ScriptedWindow::ShowLoggedOut() {
    Record("logged out");
}

void ScriptedWindow::SetFileNameText(const std::string& text) {
    Record("file name " + text);
}

void ScriptedWindow::DeliverListing(ListingResult result) {
    Record("listing");
    std::lock_guard lock(mutex_);
    lastListing_ = std::move(result);
}

void ScriptedWindow::ShowSiteDirectory(const std::string& directory) {
    site.directory = directory;
    fields.directory = directory;
}

void ScriptedWindow::StartListing() {
    ++listingsStarted;
    if (listOnStart) {
        ListRemoteDirectory(*this, listingConnection ? listingConnection->get() : nullptr);
    }
}

std::vector<ScriptedWindow::Message> ScriptedWindow::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::optional<ListingResult> ScriptedWindow::LastListing() const {
    std::lock_guard lock(mutex_);
    return lastListing_;
}

std::vector<std::string> ScriptedWindow::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

} // namespace tidewell::test

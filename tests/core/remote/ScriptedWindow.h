#pragma once

#include "core/remote/RemoteSession.h"

#include "core/remote/ftp/FtpConnection.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tidewell::test {

// A window without widgets: answers messages OK, records what it was told
// and, on StartListing, runs the listing at once (or lets the test decide).
// Safe to call from a worker thread.
class ScriptedWindow : public SessionWindow {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    // What StartListing lists: the connection the session holds at that moment.
    const std::unique_ptr<ftp::FtpConnection>* listingConnection = nullptr;
    bool listOnStart = true;

    int ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;
    void SetIdleState(bool idle) override;
    void ShowLoggedOut() override;
    void SetFileNameText(const std::string& text) override;
    void DeliverListing(ListingResult result) override;

    void PullCurrentSite() override { site = fields; }
    SiteProfile& CurrentSite() override { return site; }
    void ShowSiteDirectory(const std::string& directory) override;
    void FocusSiteDirectory() override { directoryFocused = true; }
    void ClearRemoteList() override { ++listCleared; }
    void ShowWaitCursor() override {}
    void StartListing() override;

    std::vector<Message> Messages() const;
    std::optional<ListingResult> LastListing() const;
    std::vector<std::string> Events() const;

    SiteProfile fields; // what the pane's fields hold
    SiteProfile site;   // the pane's profile
    bool directoryFocused = false;
    int listCleared = 0;
    int listingsStarted = 0;

private:
    void Record(std::string event);

    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::vector<std::string> events_;
    std::optional<ListingResult> lastListing_;
};

} // namespace tidewell::test

#pragma once

#include "core/app/WindowInterface.h"
#include "core/profiles/SiteProfile.h"

#include <memory>
#include <string>

namespace tidewell {

namespace ftp {
class FtpConnection;
class FtpSession;
} // namespace ftp

// What connecting and changing directory need of the window beyond what a
// worker may ask: the current site and its Directory field, the list, and the
// start of the listing run. All of it on the GUI thread.
class SessionWindow : public WindowInterface {
public:
    // Reads the current pane's fields into its profile.
    virtual void PullCurrentSite() = 0;
    virtual SiteProfile& CurrentSite() = 0;
    // Stores directory as the site's directory and shows it in the Directory field.
    virtual void ShowSiteDirectory(const std::string& directory) = 0;
    virtual void FocusSiteDirectory() = 0;
    virtual void ClearRemoteList() = 0;
    virtual void ShowWaitCursor() = 0;
    // Enters the busy state and starts the listing worker on the open connection.
    virtual void StartListing() = 0;
};

// The window's connection and the server directory it lists: opening it for
// the current site, moving it to the site's directory, closing it. The state
// is the window's own; this works on it.
class RemoteSession {
public:
    struct State {
        ftp::FtpSession& session;
        std::unique_ptr<ftp::FtpConnection>& connection;
        bool& connected;
        std::string& currentRemoteDir; // where the server put us at log-in
    };

    RemoteSession(State state, SessionWindow& window) : state_(state), window_(window) {}

    // Opens a connection for the current site and moves to its directory (an
    // empty one becomes the login directory). showErrors: say what failed.
    bool Connect(bool showErrors);
    void Disconnect();
    // Connects if needed, moves to the site's directory and lists it.
    void ChangeDirectory();

    bool IsOpen() const { return state_.connected && state_.connection != nullptr; }

private:
    void ShowFtpError(const char* text);

    State state_;
    SessionWindow& window_;
};

} // namespace tidewell

#include "core/remote/RemoteSession.h"

#include "core/remote/SiteAddress.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/FtpSession.h"

namespace tidewell {

namespace {

const char* ConnectFailureText(std::uint32_t code) {
    switch (code) {
    case ftp::error::kLoginRefused:
        return "Can't connect to FTP server - check the FTP username/password";
    case ftp::error::kHostNotResolved:
        return "Can't connect to FTP server - check the FTP address";
    default:
        return "Can't connect to the FTP server";
    }
}

} // namespace

void RemoteSession::ShowFtpError(const char* text) {
    window_.ShowMessageBox(text, "FTP Error", MessageIcon::Stop, MessageButtons::Ok);
}

bool RemoteSession::Connect(bool showErrors) {
    window_.PullCurrentSite();
    SiteProfile& site = window_.CurrentSite();
    try {
        // An address whose port cannot be read names no reachable host.
        const auto address = ParseSiteAddress(site.address);
        if (!address) {
            throw ftp::FtpException(ftp::error::kHostNotResolved, {});
        }
        state_.connection = state_.session.GetFtpConnection(address->host, site.username, site.password,
                                                            address->port, false);
        state_.connected = true;
    } catch (const ftp::FtpException& failure) {
        state_.connection.reset();
        state_.connected = false;
        window_.ClearRemoteList();
        if (showErrors) {
            ShowFtpError(ConnectFailureText(failure.ErrorCode()));
        }
        return false;
    }

    state_.currentRemoteDir.clear();
    state_.connection->GetCurrentDirectory(state_.currentRemoteDir);
    if (site.directory.empty()) {
        window_.ShowSiteDirectory(state_.currentRemoteDir);
        return true;
    }
    if (!state_.connection->SetCurrentDirectory(site.directory)) {
        Disconnect();
        if (showErrors) {
            ShowFtpError("Directory is not contained on the FTP server - check the Directory");
            window_.FocusSiteDirectory();
        }
        return false;
    }
    return true;
}

void RemoteSession::Disconnect() {
    if (state_.connection) {
        state_.connection->Close();
        state_.connection.reset();
    }
    state_.connected = false;
}

void RemoteSession::ChangeDirectory() {
    window_.ShowWaitCursor();
    window_.PullCurrentSite();
    if (!IsOpen()) {
        Connect(true);
    } else {
        ftp::FtpConnection& connection = *state_.connection;
        std::string remembered;
        const bool known = connection.GetCurrentDirectory(remembered);
        SiteProfile& site = window_.CurrentSite();
        bool changed = false;
        if (!site.directory.empty()) {
            changed = connection.SetCurrentDirectory(site.directory);
        } else {
            changed = connection.SetCurrentDirectory(state_.currentRemoteDir);
            window_.ShowSiteDirectory(state_.currentRemoteDir);
        }
        if (!changed) {
            ShowFtpError(
                "Directory is not contained on the FTP server, or the FTP server cannot be contacted");
            // Back to the directory still listed; when even that could not be
            // read, the field keeps what the user typed.
            if (known) {
                window_.ShowSiteDirectory(remembered);
            }
            return;
        }
    }
    if (IsOpen()) {
        window_.StartListing();
    }
}

} // namespace tidewell

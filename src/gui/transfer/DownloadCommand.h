#pragma once

#include "core/transfer/DownloadRun.h"

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

namespace tidewell {

class ListViewControl;
class RemoteSession;
class SitePanes;
class SiteProfileSet;

// The window side of downloading: the Browse command, and the checks of the
// Download command in their order, which give the run its request.
class DownloadCommand {
public:
    struct Parts {
        QWidget* window;
        QLineEdit* folderField;
        ListViewControl* list;
        SitePanes& panes;
        const SiteProfileSet& sites;
        const RemoteSession& session;
        std::function<int()> connections; // how many connections a run may use
    };

    explicit DownloadCommand(Parts parts) : parts_(parts) {}

    // Chooses the Download To folder.
    void Browse();
    // std::nullopt when a check stops the command (having said why, where it says anything).
    std::optional<DownloadRequest> Prepare();

private:
    Parts parts_;
};

} // namespace tidewell

#include "gui/transfer/UploadCommand.h"

#include "core/app/RunController.h"
#include "core/profiles/SiteProfileSet.h"
#include "core/session/RemoteSession.h"
#include "gui/profiles/SitePanes.h"
#include "gui/remote/BrowseCommand.h"
#include "gui/ui/FileDialogs.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tidewell {

namespace fs = std::filesystem;

std::vector<fs::path> UploadCommand::ChooseFiles() const {
    // "*" rather than "*.*": here a name without a dot is a file too.
    const QStringList chosen = ChooseOpenFiles(parts_.window, QStringLiteral("Select Files To Upload"), {},
                                               QStringLiteral("All Files (*)"));
    std::vector<fs::path> paths;
    for (const QString& path : chosen) {
        paths.emplace_back(path.toStdString());
    }
    return paths;
}

std::vector<fs::path> UploadCommand::DroppedPaths(const QMimeData& data) {
    std::vector<fs::path> paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        paths.emplace_back(url.toLocalFile().toStdString());
    }
    return paths;
}

void UploadCommand::Upload(const std::vector<fs::path>& paths) {
    if (paths.empty() || !parts_.panes.ValidateCurrent(true)) {
        return;
    }
    Start(paths, false);
}

void UploadCommand::DragEnter(QDragEnterEvent& event) const {
    if (!parts_.runs.Busy() && !DroppedPaths(*event.mimeData()).empty()) {
        event.acceptProposedAction();
    }
}

void UploadCommand::DragMove(QDragMoveEvent& event) const {
    if (!parts_.runs.Busy()) {
        event.acceptProposedAction();
    }
}

void UploadCommand::Drop(QDropEvent& event) {
    const auto paths = DroppedPaths(*event.mimeData());
    if (parts_.runs.Busy() || paths.empty()) {
        return;
    }
    event.acceptProposedAction();
    parts_.window->raise();
    parts_.window->activateWindow();
    Upload(paths);
}

void UploadCommand::TakeCommandWords(const std::vector<std::string>& words) {
    commandPaths_.clear();
    if (!words.empty() && parts_.panes.ValidateCurrent(true)) {
        commandPaths_.assign(words.begin(), words.end());
    }
}

void UploadCommand::StartCommandUpload() {
    if (commandPaths_.empty()) {
        return;
    }
    Start(commandPaths_, true);
}

void UploadCommand::Start(std::vector<fs::path> paths, bool commandLine) {
    parts_.panes.PullCurrent();
    parts_.runs.Start(std::make_unique<UploadRun>(
        parts_.session, parts_.sites.Profile(parts_.panes.CurrentIndex()), std::move(paths),
        UploadRun::Options{commandLine, parts_.connections(), parts_.session.MoreConnections()},
        parts_.browse.ShowsListing()));
}

} // namespace tidewell

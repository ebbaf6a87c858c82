#pragma once

#include "core/transfer/UploadRun.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QWidget;

namespace tidewell {

class BrowseCommand;
class RemoteSession;
class RunController;
class SitePanes;
class SiteProfileSet;

// The window side of uploading: where the local paths come from (the Upload
// button's file dialog, a drop, the command line at start-up), the checks in
// their order, and the counted run that uploads them into the current site.
// Qt delivers drag and drop to the window, which hands the events on here.
class UploadCommand {
public:
    struct Parts {
        QWidget* window;
        SitePanes& panes;
        const SiteProfileSet& sites;
        RemoteSession& session;
        RunController& runs;
        BrowseCommand& browse;            // shows the listing the run ends with
        std::function<int()> connections; // how many connections a run may use
    };

    explicit UploadCommand(Parts parts) : parts_(parts) {}

    // The files chosen in the Upload button's dialog; none when it was cancelled.
    std::vector<std::filesystem::path> ChooseFiles() const;
    // Uploads paths; nothing when there are none or the site's fields are
    // incomplete (said, with the focus on the first empty one).
    void Upload(const std::vector<std::filesystem::path>& paths);

    // Local files and folders dropped while idle are uploaded.
    void DragEnter(QDragEnterEvent& event) const;
    void DragMove(QDragMoveEvent& event) const;
    void Drop(QDropEvent& event);

    // Start-up, while the first site is current: keeps the command-line words
    // as paths when there are any and the site's fields are complete.
    void TakeCommandWords(const std::vector<std::string>& words);
    // Start-up, once the window is built: uploads the kept paths; nothing
    // when there are none, or when they name no file (said).
    void StartCommandUpload();

private:
    // The paths of a drop, in their order; none when anything dropped is not a local path.
    static std::vector<std::filesystem::path> DroppedPaths(const QMimeData& data);
    void Start(std::vector<std::filesystem::path> paths, bool commandLine);

    Parts parts_;
    std::vector<std::filesystem::path> commandPaths_;
};

} // namespace tidewell

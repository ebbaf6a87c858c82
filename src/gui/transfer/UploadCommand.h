#pragma once

#include "core/transfer/UploadRun.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

namespace tidewell {

class RemoteSession;
class SitePanes;
class SiteProfileSet;

// The window side of uploading: where the local paths come from (the Upload
// button's file dialog, a drop, the command line at start-up), the checks in
// their order, and the counted run that uploads them into the current site.
class UploadCommand {
public:
    struct Parts {
        QWidget* window;
        SitePanes& panes;
        const SiteProfileSet& sites;
        RemoteSession& session;
    };

    explicit UploadCommand(Parts parts) : parts_(parts) {}

    // The files chosen in the Upload button's dialog; none when it was cancelled.
    std::vector<std::filesystem::path> ChooseFiles() const;
    // The paths of a drop, in their order; none when anything dropped is not a local path.
    static std::vector<std::filesystem::path> DroppedPaths(const QMimeData& data);
    // The run for paths; nullptr when there are none or the site's fields are
    // incomplete (said, with the focus on the first empty one).
    std::unique_ptr<UploadRun> Prepare(const std::vector<std::filesystem::path>& paths, UploadRun::Done done);

    // Start-up, while the first site is current: keeps the command-line words
    // as paths when there are any and the site's fields are complete.
    void TakeCommandWords(const std::vector<std::string>& words);
    // Start-up, once the window is built: the run for the kept paths; nullptr
    // when there are none, or when they name no file (said).
    std::unique_ptr<UploadRun> StartCommandUpload(UploadRun::Done done);

private:
    std::unique_ptr<UploadRun> MakeRun(std::vector<std::filesystem::path> paths, UploadRun::Done done,
                                       bool commandLine);

    Parts parts_;
    std::vector<std::filesystem::path> commandPaths_;
};

} // namespace tidewell

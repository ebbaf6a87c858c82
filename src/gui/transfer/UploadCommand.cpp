#include "gui/transfer/UploadCommand.h"

#include "core/profiles/SiteProfileSet.h"
#include "gui/profiles/SitePanes.h"
#include "gui/ui/FileDialogs.h"
#include "gui/ui/MessageBox.h"

#include <QMimeData>
#include <QUrl>

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

std::unique_ptr<UploadRun> UploadCommand::Prepare(const std::vector<fs::path>& paths, UploadRun::Done done) {
    if (paths.empty() || !parts_.panes.ValidateCurrent(true)) {
        return nullptr;
    }
    return MakeRun(paths, std::move(done), false);
}

void UploadCommand::TakeCommandWords(const std::vector<std::string>& words) {
    commandPaths_.clear();
    if (!words.empty() && parts_.panes.ValidateCurrent(true)) {
        commandPaths_.assign(words.begin(), words.end());
    }
}

std::unique_ptr<UploadRun> UploadCommand::StartCommandUpload(UploadRun::Done done) {
    if (commandPaths_.empty()) {
        return nullptr;
    }
    return MakeRun(commandPaths_, std::move(done), true);
}

std::unique_ptr<UploadRun> UploadCommand::MakeRun(std::vector<fs::path> paths, UploadRun::Done done,
                                                  bool commandLine) {
    parts_.panes.PullCurrent();
    return std::make_unique<UploadRun>(parts_.session, parts_.sites.Profile(parts_.panes.CurrentIndex()),
                                       std::move(paths), std::move(done), commandLine);
}

} // namespace tidewell

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
    return MakeRun(UploadPlan::CountLocalFiles(paths), std::move(done));
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
    UploadPlan plan = UploadPlan::CountLocalFiles(commandPaths_);
    if (plan.FileCount() < 1) {
        // The command line is split at blanks, so a path holding one names nothing.
        ShowMessage(parts_.window,
                    QStringLiteral("Could Not Transfer files - Does the filename have a space in the path?"),
                    QStringLiteral("ERROR"), MessageIcon::Stop);
        return nullptr;
    }
    return MakeRun(std::move(plan), std::move(done));
}

std::unique_ptr<UploadRun> UploadCommand::MakeRun(UploadPlan plan, UploadRun::Done done) {
    parts_.panes.PullCurrent();
    return std::make_unique<UploadRun>(parts_.session, parts_.sites.Profile(parts_.panes.CurrentIndex()),
                                       std::move(plan), std::move(done));
}

} // namespace tidewell

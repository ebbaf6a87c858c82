#include "gui/profiles/ProfileCommands.h"

#include "gui/ui/FileDialogs.h"
#include "gui/ui/MessageBox.h"

#include <QFileInfo>

namespace tidewell {

namespace {

// A name typed without a suffix is given the profile files' one.
QString WithProfileSuffix(const QString& path) {
    if (!QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + (path.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
           QLatin1String(kProfileFileSuffix);
}

} // namespace

ProfileCommands::ProfileCommands(SiteProfileSet& sites, SitePanes& panes, QWidget* window,
                                 std::function<void()> logOut, const QString& defaultPath)
    : window_(window), host_(sites, panes, window, std::move(logOut)), document_(host_, defaultPath) {}

QString ProfileCommands::CurrentFolder() const {
    return QFileInfo(document_.Path()).absolutePath();
}

void ProfileCommands::Open() {
    if (!document_.ConfirmBeforeOpen()) {
        return;
    }
    const QString chosen =
        ChooseOpenFile(window_, QStringLiteral("Open"), CurrentFolder(), QLatin1String(kProfileFileFilter));
    if (!chosen.isEmpty()) {
        document_.Open(chosen);
    }
}

void ProfileCommands::SaveAs() {
    const QString typed = ChooseSaveFile(window_, QStringLiteral("Save As"), CurrentFolder(),
                                         QLatin1String(kProfileFileFilter));
    if (typed.isEmpty()) {
        return;
    }
    const QString chosen = WithProfileSuffix(typed);
    // The dialog asked about the name as typed; a file under the completed name is asked about here.
    if (chosen != typed && QFileInfo::exists(chosen) &&
        ShowMessage(window_, chosen + QStringLiteral(" already exists.\nDo you want to replace it?"),
                    QStringLiteral("Save As"), MessageIcon::Exclamation,
                    MessageButtons::YesNo) != Answer::Yes) {
        return;
    }
    document_.SaveAs(chosen);
}

} // namespace tidewell

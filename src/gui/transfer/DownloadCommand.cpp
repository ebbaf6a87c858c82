#include "gui/transfer/DownloadCommand.h"

#include "core/profiles/SiteProfileSet.h"
#include "core/session/Navigation.h"
#include "core/session/RemoteSession.h"
#include "gui/profiles/SitePanes.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/ui/FileDialogs.h"
#include "gui/ui/MessageBox.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>

#include <algorithm>

namespace tidewell {

void DownloadCommand::Browse() {
    const QString chosen = ChooseFolder(parts_.window, QStringLiteral("Choose A Directory For FTP Download"),
                                        parts_.folderField->text());
    if (!chosen.isEmpty()) {
        parts_.folderField->setText(chosen);
    }
}

std::optional<DownloadRequest> DownloadCommand::Prepare() {
    QString folder = parts_.folderField->text();
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    // Anything of that name passes; a plain file fails at its first file.
    if (folder.isEmpty() || !QFileInfo::exists(folder)) {
        ShowMessage(parts_.window, QStringLiteral("Invalid directory for download, please reselect"),
                    QStringLiteral("ERROR"), MessageIcon::Exclamation);
        return std::nullopt;
    }
    std::vector<int> rows;
    for (const QModelIndex& index : parts_.list->CurrentView()->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    if (rows.empty() || !parts_.session.Connected()) {
        return std::nullopt;
    }
    std::sort(rows.begin(), rows.end());
    DownloadRequest request;
    for (int row : rows) {
        std::string name = parts_.list->Model()->Name(row);
        if (name != "..") {
            request.names.push_back(std::move(name));
        }
    }
    if (!parts_.panes.ValidateCurrent(true)) {
        return std::nullopt;
    }
    request.remoteBase = Navigation(parts_.sites.Profile(parts_.panes.CurrentIndex()).directory,
                                    parts_.session.LoginDirectory(), parts_.session.ListedDirectory())
                             .Current();
    request.folder = folder.toStdString();
    request.connections = parts_.connections();
    request.more = parts_.session.MoreConnections();
    return request;
}

} // namespace tidewell

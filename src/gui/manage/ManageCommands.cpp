#include "gui/manage/ManageCommands.h"

#include "core/app/RunController.h"
#include "core/manage/CreateDirectoryRun.h"
#include "core/session/RemoteSession.h"
#include "gui/manage/CreateDirectoryDialog.h"
#include "gui/remote/BrowseCommand.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLabel>

#include <algorithm>

namespace tidewell {

void ManageCommands::Delete() {
    if (auto request = PrepareDelete()) {
        parts_.runs.Start(std::make_unique<DeleteRun>(std::move(*request), [this](DeleteOutcome outcome) {
            if (outcome.listing.connected && !outcome.listing.listing) {
                RemoveDeleted(outcome.deleted);
            }
            parts_.browse.ShowOutcome(std::move(outcome.listing));
        }));
    }
}

void ManageCommands::NewDirectory() {
    if (auto name = AskDirectoryName(parts_.window)) {
        parts_.runs.Start(std::make_unique<CreateDirectoryRun>(*name, [this, made = *name](bool created) {
            if (created) {
                ShowNewDirectory(made);
            }
        }));
    }
}

void ManageCommands::Rename(int row, const QString& text) {
    if (parts_.runs.Busy() || !parts_.session.Connected()) {
        return;
    }
    if (auto request = PrepareRename(row, text)) {
        const std::string to = request->to;
        parts_.runs.Start(std::make_unique<RenameRun>(std::move(*request), [this, row, to](bool renamed) {
            if (renamed) {
                parts_.list.Model()->SetName(row, to);
                parts_.browse.Refresh();
            }
        }));
    }
}

std::optional<QModelIndex> ManageCommands::RenameRow() const {
    if (!parts_.list.isEnabled() || !parts_.session.Connected()) {
        return std::nullopt;
    }
    const QModelIndexList rows = parts_.list.CurrentView()->selectionModel()->selectedRows();
    if (rows.size() != 1 || parts_.list.Model()->Name(rows[0].row()) == "..") {
        return std::nullopt;
    }
    return rows[0];
}

bool ManageCommands::CanRename() const {
    return RenameRow().has_value();
}

void ManageCommands::StartRename() {
    if (const auto row = RenameRow()) {
        QAbstractItemView* view = parts_.list.CurrentView();
        view->setCurrentIndex(*row);
        view->edit(*row);
    }
}

std::optional<DeleteRequest> ManageCommands::PrepareDelete() {
    deleteRows_.clear();
    for (const QModelIndex& index : parts_.list.CurrentView()->selectionModel()->selectedRows()) {
        deleteRows_.push_back(index.row());
    }
    if (deleteRows_.empty()) {
        return std::nullopt;
    }
    std::sort(deleteRows_.begin(), deleteRows_.end());
    const RemoteListModel& model = *parts_.list.Model();
    DeleteRequest request;
    for (int row : deleteRows_) {
        request.rows.push_back({model.Name(row), model.Tag(row) == kDirectoryTag});
    }
    request.connections = parts_.connections();
    request.more = parts_.session.MoreConnections();
    return request;
}

void ManageCommands::RemoveDeleted(const std::vector<std::size_t>& deleted) {
    // From the last, so that the rows before keep their numbers.
    for (auto it = deleted.rbegin(); it != deleted.rend(); ++it) {
        if (*it < deleteRows_.size()) {
            parts_.list.Model()->RemoveRow(deleteRows_[*it]);
        }
    }
    deleteRows_.clear();
}

void ManageCommands::ShowNewDirectory(const std::string& name) {
    parts_.list.Model()->InsertDirectoryRow(name);
    parts_.dirCount.setText(QStringLiteral("Dir(s): %1").arg(parts_.list.Model()->Listing().dirCount));
}

std::optional<RenameRequest> ManageCommands::PrepareRename(int row, const QString& text) const {
    const RemoteListModel& model = *parts_.list.Model();
    if (row < 0 || row >= model.rowCount()) {
        return std::nullopt;
    }
    RenameRequest request{model.Name(row), text.toStdString(), model.Tag(row) == kDirectoryTag, false};
    if (request.to == request.from) {
        return std::nullopt;
    }
    const auto& rows = model.Listing().rows;
    request.targetListed = std::any_of(
        rows.begin(), rows.end(), [&request](const ListingRow& listed) { return listed.name == request.to; });
    return request;
}

} // namespace tidewell

#include "gui/manage/ManageCommands.h"

#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLabel>

#include <algorithm>

namespace tidewell {

std::optional<DeleteRequest> ManageCommands::PrepareDelete() {
    deleteRows_.clear();
    for (const QModelIndex& index : list_.CurrentView()->selectionModel()->selectedRows()) {
        deleteRows_.push_back(index.row());
    }
    if (deleteRows_.empty()) {
        return std::nullopt;
    }
    std::sort(deleteRows_.begin(), deleteRows_.end());
    const RemoteListModel& model = *list_.Model();
    DeleteRequest request;
    for (int row : deleteRows_) {
        request.rows.push_back({model.Name(row), model.Tag(row) == kDirectoryTag});
    }
    return request;
}

void ManageCommands::RemoveDeleted(const std::vector<std::size_t>& deleted) {
    // From the last, so that the rows before keep their numbers.
    for (auto it = deleted.rbegin(); it != deleted.rend(); ++it) {
        if (*it < deleteRows_.size()) {
            list_.Model()->RemoveRow(deleteRows_[*it]);
        }
    }
    deleteRows_.clear();
}

void ManageCommands::ShowNewDirectory(const std::string& name) {
    list_.Model()->InsertDirectoryRow(name);
    dirCount_.setText(QStringLiteral("Dir(s): %1").arg(list_.Model()->Listing().dirCount));
}

std::optional<RenameRequest> ManageCommands::PrepareRename(int row, const QString& text) const {
    const RemoteListModel& model = *list_.Model();
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

#pragma once

#include "core/manage/DeleteRun.h"
#include "core/manage/RenameRun.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace tidewell {

class ListViewControl;

// The window side of Delete, New Dir and rename: turns the remote list into
// the runs' requests and shows their results in it.
class ManageCommands {
public:
    ManageCommands(ListViewControl& list, QLabel& dirCount) : list_(list), dirCount_(dirCount) {}

    // The selected rows in list order; std::nullopt when none is selected.
    std::optional<DeleteRequest> PrepareDelete();
    // After a run that ended without listing again: the deleted rows leave the list.
    void RemoveDeleted(const std::vector<std::size_t>& deleted);

    // The new directory's row and the directory counter.
    void ShowNewDirectory(const std::string& name);

    // The rename an edit of row's name asks for; std::nullopt for an unchanged name.
    std::optional<RenameRequest> PrepareRename(int row, const QString& text) const;

private:
    ListViewControl& list_;
    QLabel& dirCount_;
    std::vector<int> deleteRows_; // the model rows of the last delete request
};

} // namespace tidewell

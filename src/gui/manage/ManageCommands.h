#pragma once

#include "core/manage/DeleteRun.h"
#include "core/manage/RenameRun.h"

#include <QModelIndex>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QWidget;

namespace tidewell {

class BrowseCommand;
class ListViewControl;
class RemoteSession;
class RunController;

// The window side of Delete, New Dir and rename: turns the remote list into
// the runs' requests, starts the runs and shows their results in the list.
class ManageCommands {
public:
    struct Parts {
        QWidget* window;
        ListViewControl& list;
        QLabel& dirCount;
        const RemoteSession& session;
        RunController& runs;
        BrowseCommand& browse;            // shows a delete's listing, lists again after a rename
        std::function<int()> connections; // how many connections a tree delete may use
    };

    explicit ManageCommands(Parts parts) : parts_(parts) {}

    // Deletes the selected rows; nothing when none is selected.
    void Delete();
    // Asks for the new directory's name and makes it.
    void NewDirectory();
    // An edit of row's name. Renames only while logged in and idle; a
    // successful rename lists the directory again, as Login does.
    void Rename(int row, const QString& text);
    // Whether one row other than ".." is selected in a list that takes input.
    bool CanRename() const;
    // Opens the name editor on the selected row.
    void StartRename();

private:
    std::optional<QModelIndex> RenameRow() const;
    // The selected rows in list order; std::nullopt when none is selected.
    std::optional<DeleteRequest> PrepareDelete();
    // After a run that ended without listing again: the deleted rows leave the list.
    void RemoveDeleted(const std::vector<std::size_t>& deleted);
    // The new directory's row and the directory counter.
    void ShowNewDirectory(const std::string& name);
    // The rename an edit of row's name asks for; std::nullopt for an unchanged name.
    std::optional<RenameRequest> PrepareRename(int row, const QString& text) const;

    Parts parts_;
    std::vector<int> deleteRows_; // the model rows of the last delete request
};

} // namespace tidewell

#include "gui/remote/BrowseCommand.h"

#include "core/app/RunController.h"
#include "core/app/WindowInterface.h"
#include "core/remote/SizeText.h"
#include "core/session/Navigation.h"
#include "core/session/RemoteSession.h"
#include "gui/profiles/SitePanes.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/transfer/TransferStatusView.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>

namespace tidewell {

void BrowseCommand::Refresh() {
    if (parts_.panes.ValidateCurrent(true)) {
        List();
    }
}

// An empty Directory stands for the login directory.
void BrowseCommand::Home() {
    if (parts_.panes.ValidateCurrent(true)) {
        parts_.panes.Current()->DirectoryEdit()->clear();
        List();
    }
}

void BrowseCommand::Up() {
    const std::string& directory = parts_.sites.Profile(parts_.panes.CurrentIndex()).directory;
    Go(Navigation(directory, parts_.session.LoginDirectory(), parts_.session.ListedDirectory()).Up());
}

void BrowseCommand::OpenSelected() {
    QItemSelectionModel* selection = parts_.list.CurrentView()->selectionModel();
    int first = -1;
    for (const QModelIndex& index : selection->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    if (first < 0) {
        return;
    }
    const RemoteListModel& model = *parts_.list.Model();
    const std::size_t current = parts_.panes.CurrentIndex();
    SiteProfile site = parts_.sites.Profile(current);
    const Navigation::RowMove move =
        Navigation(site.directory, parts_.session.LoginDirectory(), parts_.session.ListedDirectory())
            .Open(model.Name(first), model.Tag(first) == kDirectoryTag);
    site.directory = move.directory;
    parts_.sites.SetProfile(current, site);
    if (move.next) {
        Go(*move.next);
    }
    parts_.sites.MarkModified(current);
}

void BrowseCommand::SortBy(int column) {
    sortOrder_.Click(column);
    parts_.list.Model()->Sort(sortOrder_);
}

void BrowseCommand::List() {
    parts_.panes.PullCurrent();
    parts_.runs.Start(std::make_unique<ListingRun>(
        parts_.session, parts_.sites.Profile(parts_.panes.CurrentIndex()), ShowsListing()));
}

// Navigation works on the stored directory, not on unsaved typing in the field.
void BrowseCommand::Go(const std::string& directory) {
    parts_.panes.ShowDirectory(directory);
    List();
}

ListingRun::Done BrowseCommand::ShowsListing() {
    return [this](ListingOutcome outcome) { ShowOutcome(std::move(outcome)); };
}

void BrowseCommand::ShowOutcome(ListingOutcome outcome) {
    parts_.shown.SetFileNameText({});
    if (outcome.siteDirectory) {
        parts_.panes.ShowDirectory(*outcome.siteDirectory);
    }
    if (outcome.focusDirectory) {
        parts_.panes.Current()->DirectoryEdit()->setFocus();
    }
    if (outcome.connected && outcome.listing) {
        ListingResult& result = *outcome.listing;
        parts_.fileCount.setText(QStringLiteral("File(s): %1").arg(result.fileCount));
        parts_.dirCount.setText(QStringLiteral("Dir(s): %1").arg(result.dirCount));
        parts_.totalSize.setText(QStringLiteral("Total Size: ") +
                                 QString::fromStdString(FormatSizeText(result.totalSize)));
        SortRows(result.rows, result.files, sortOrder_);
        parts_.list.Model()->SetListing(std::move(result));
    }
    // A transfer's end is said once the refreshed listing is on screen.
    if (outcome.ending) {
        parts_.transferStatus.Flush();
        if (outcome.ending->complete) {
            ShowCompletionNotice(parts_.window);
        } else {
            parts_.shown.Ask(outcome.ending->message);
        }
        parts_.transferStatus.ShowIdle();
    }
}

} // namespace tidewell

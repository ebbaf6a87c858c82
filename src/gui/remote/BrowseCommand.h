#pragma once

#include "core/remote/RowComparison.h"
#include "core/session/ListingRun.h"

class QLabel;
class QWidget;

namespace tidewell {

class ListViewControl;
class RemoteSession;
class RunController;
class SitePanes;
class SiteProfileSet;
class TransferStatusView;
class WindowInterface;

// The window side of browsing: Login and Refresh, Home, Up, a double click on
// a row and a header click. It stores where Navigation leads in the site's
// Directory, starts the listing run there, and shows what every run that ends
// with a listing leaves: the rows, the counters and a transfer's end.
class BrowseCommand {
public:
    struct Parts {
        QWidget* window;
        WindowInterface& shown; // the window's own, on the GUI thread
        ListViewControl& list;
        QLabel& fileCount;
        QLabel& dirCount;
        QLabel& totalSize;
        SitePanes& panes;
        SiteProfileSet& sites;
        RemoteSession& session;
        RunController& runs;
        TransferStatusView& transferStatus;
    };

    explicit BrowseCommand(Parts parts) : parts_(parts) {}

    // Login, or Refresh while logged in: lists the Directory as it stands.
    void Refresh();
    void Home();
    void Up();
    // The first selected row: a directory row is entered, a file row only
    // marks the site modified.
    void OpenSelected();
    // A header click; later listings keep the order it chose.
    void SortBy(int column);

    // What a run that ends with a listing hands it to.
    ListingRun::Done ShowsListing();
    void ShowOutcome(ListingOutcome outcome);

private:
    // Connects when needed, moves to the current site's Directory and lists it.
    void List();
    // Stores directory as the current site's Directory and lists it.
    void Go(const std::string& directory);

    Parts parts_;
    SortOrder sortOrder_; // the column and direction of the last header click
};

} // namespace tidewell

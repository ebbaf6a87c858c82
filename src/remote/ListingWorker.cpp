#include "remote/ListingWorker.h"

#include "app/WindowInterface.h"
#include "remote/ListingEngine.h"

namespace tidewell {

void ListRemoteDirectory(WindowInterface& window, ftp::FtpConnection* connection) {
    window.SetIdleState(false);
    window.SetFileNameText(kListingWaitText);
    window.DeliverListing(ReadRemoteDirectory(connection));
}

} // namespace tidewell

#include "core/remote/ListingWorker.h"

#include "core/app/WindowInterface.h"
#include "core/remote/ListingEngine.h"

namespace tidewell {

void ListRemoteDirectory(WindowInterface& window, ftp::FtpConnection* connection) {
    window.SetIdleState(false);
    window.SetFileNameText(kListingWaitText);
    window.DeliverListing(ReadRemoteDirectory(connection));
}

} // namespace tidewell

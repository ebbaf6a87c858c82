#pragma once

namespace tidewell {

class WindowInterface;

namespace ftp {
class FtpConnection;
}

// The listing run: reads the connection's current directory and hands the
// rows to the window in one batch. Runs on the worker thread (or at the end of
// a transfer or delete run on that run's thread). No connection: the window is
// told so by an empty, unconnected result.
void ListRemoteDirectory(WindowInterface& window, ftp::FtpConnection* connection);

inline constexpr const char* kListingWaitText = "Connecting, Please Wait...";

} // namespace tidewell

#pragma once

namespace tidewell {

// Prepares the process for network use: a peer that closes a connection must
// show up as a failed write, not end the process. False when that cannot be set.
bool StartNetworkLayer();

} // namespace tidewell

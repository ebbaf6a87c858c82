#include "core/app/NetworkStartup.h"

#include <csignal>

namespace tidewell {

bool StartNetworkLayer() {
#ifdef SIGPIPE
    return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
#else
    return true;
#endif
}

} // namespace tidewell

#pragma once

#include "core/app/WindowInterface.h"

#include <atomic>
#include <memory>
#include <optional>

namespace tidewell {

class RemoteFileSystem;

// What a run works with on its thread. The connection is the run's alone
// until it ends: it may use it, replace it (connecting) or drop it (a lost or
// abandoned connection), and the run controller hands back what is left.
struct RunContext {
    WindowInterface& window;
    const std::atomic<bool>& cancel;
    std::unique_ptr<RemoteFileSystem>& connection;
};

// One piece of work that must not block the window: a listing (connecting
// included), a download, an upload, a delete.
class Run {
public:
    virtual ~Run() = default;

    // Whether a cancel also cuts the engine's waits short. A run that finishes
    // normally after a cancel (a transfer) says no: its waits end by their timeout.
    virtual bool CancelCutsWaits() const { return true; }
    // Whether the run logs in by itself when it gets no connection (and says
    // why when it cannot); any other does nothing without one.
    virtual bool LogsInItself() const { return false; }
    // On the run's thread. Whatever it throws, the run controller tells the user.
    virtual void Execute(RunContext& context) = 0;
    // On the GUI thread, once the run's thread has ended, the connection is
    // back with its owner and the window is idle again: shows the result.
    virtual void Finish() = 0;
    // How the run ended, when it says more than the last message it showed
    // (a listing read, a transfer's end); read on the run's thread after Execute.
    virtual std::optional<UserMessage> EndingMessage() const { return std::nullopt; }
};

} // namespace tidewell

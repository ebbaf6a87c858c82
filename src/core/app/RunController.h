#pragma once

#include "core/app/Run.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace tidewell {

// What the run controller needs of the window. Called on the GUI thread unless
// said otherwise.
class RunHost {
public:
    virtual ~RunHost() = default;

    // Busy (false) or idle (true).
    virtual void SetIdleState(bool idle) = 0;
    // The window as a run sees it; used from the run's thread.
    virtual WindowInterface& RunWindow() = 0;
    // Runs task on the GUI thread, later; called from the run's thread. After
    // the window has begun to go, the task may be dropped.
    virtual void PostToGuiThread(std::function<void()> task) = 0;
};

// Holds the connection between runs and lends it to one run at a time.
class ConnectionHolder {
public:
    virtual ~ConnectionHolder() = default;

    virtual std::unique_ptr<RemoteFileSystem> LendConnection() = 0;
    virtual void ReturnConnection(std::unique_ptr<RemoteFileSystem> connection) = 0;
};

// Starts every run, one at a time, and is the only code that enters and leaves
// the busy state. The connection moves into the run and comes back with its
// end. It owns the cancel flag and the run's thread, which it joins before it
// goes. Everything but the run itself happens on the GUI thread.
class RunController {
public:
    RunController(RunHost& host, ConnectionHolder& connections);
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;
    // Cancels a run still going and waits for it; its result is dropped.
    ~RunController();

    // Enters the busy state and starts run on its own thread. False, and
    // nothing started, while another run is going.
    bool Start(std::unique_ptr<Run> run);
    bool Busy() const { return busy_; }
    // Asks the running run to stop. It ends at its next check; the engine's
    // waits look at the flag too, so even a silent server is left at once.
    void Cancel() { cancel_ = true; }
    // For the window's end: cancels and joins a run still going.
    void Shutdown();

private:
    void Finish();

    RunHost& host_;
    ConnectionHolder& connections_;
    std::atomic<bool> cancel_{false};
    bool busy_ = false;
    std::unique_ptr<Run> run_;
    std::unique_ptr<RemoteFileSystem> connection_;
    std::thread thread_;
};

} // namespace tidewell

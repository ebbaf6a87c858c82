#pragma once

#include "core/app/Run.h"
#include "core/remote/ftp/LogLine.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
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
    // On the run's thread, before the run, inside its cancel scope: readies
    // what LendConnection gave. A holder may lend only now (its connection was
    // busy keeping the log-in alive) and make a lost connection again. False
    // when the connection it held was lost and could not be made again.
    virtual bool ReadyConnection(std::unique_ptr<RemoteFileSystem>& /*connection*/,
                                 const std::atomic<bool>& /*cancel*/) {
        return true;
    }
    // Notes how a run ended where the connection's dialogue is kept; on the run's thread.
    virtual void LogRunEnd(ftp::LogKind /*kind*/, std::string /*text*/) {}
};

// Starts every run, one at a time, and is the only code that enters and leaves
// the busy state. The connection moves into the run and comes back with its
// end (dropped when it is no longer connected). It owns the cancel flag and the
// run's thread, which it joins before it goes. Everything but the run itself
// (and readying its connection) happens on the GUI thread.
//
// A connection lost while the window was idle and not made again is said in
// one message ("FTP Error", stop icon), and a run that cannot log in itself is
// then not executed at all (Finish still runs): nothing it could do without a
// connection is worth a question to the user.
//
// Nothing a run throws takes the program down: whatever leaves Execute is said
// in one message ("ERROR", stop icon), the Transfer Status group goes back to
// its idle texts, and the run ends as any other does, Finish included: a run's
// outcome is filled in as it goes, so Finish shows only what really happened
// (a login directory learnt, a listing read), and the window's own end-of-run
// steps live there. Every run's end is logged in one line.
class RunController {
public:
    RunController(RunHost& host, ConnectionHolder& connections);
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;
    // Cancels a run still going and waits for it; its result is dropped.
    ~RunController();

    // Enters the busy state and starts run on its own thread. False, and
    // nothing started, while another run is going, or when no thread can be
    // started (said in one message, the window idle again; Finish never runs).
    bool Start(std::unique_ptr<Run> run);
    bool Busy() const { return busy_; }
    // Asks the running run to stop. It ends at its next check; the engine's
    // waits look at the flag too, so even a silent server is left at once.
    void Cancel() { cancel_ = true; }
    // For the window's end: cancels and joins a run still going.
    void Shutdown();

private:
    // The run's thread.
    void Execute();
    // Whether the run may go on, its connection readied; says a lost one.
    bool ReadyConnection(WindowInterface& window);
    void LogEnding(const std::optional<UserMessage>& lastMessage) noexcept;
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

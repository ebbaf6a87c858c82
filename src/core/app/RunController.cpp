#include "core/app/RunController.h"

#include "core/app/RecordingWindow.h"
#include "core/remote/CancelScope.h"
#include "core/remote/RemoteFileSystem.h"

#include <exception>
#include <string>

namespace tidewell {

namespace {

// What the user is told; an exception of a type we cannot name adds nothing.
std::string FailureText(const char* heading, const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        if (*error.what() != '\0') {
            return std::string(heading) + ": " + error.what();
        }
    } catch (...) {
    }
    return std::string(heading) + ".";
}

// A message that cannot be made or shown (no memory left) must not stop the
// run from ending.
void Tell(WindowInterface& window, const char* heading, const std::exception_ptr& failure) noexcept {
    try {
        window.Ask({FailureText(heading, failure), "ERROR", MessageIcon::Stop, MessageButtons::Ok});
    } catch (...) {
    }
}

} // namespace

RunController::RunController(RunHost& host, ConnectionHolder& connections)
    : host_(host), connections_(connections) {}

RunController::~RunController() {
    Shutdown();
}

bool RunController::Start(std::unique_ptr<Run> run) {
    if (busy_ || !run) {
        return false;
    }
    // Busy before the thread starts, so that nothing can start a second run meanwhile.
    busy_ = true;
    cancel_ = false;
    host_.SetIdleState(false);
    run_ = std::move(run);
    connection_ = connections_.LendConnection();
    try {
        thread_ = std::thread([this] { Execute(); });
    } catch (...) { // no thread to be had: nothing ran, so all goes back as it was
        connections_.ReturnConnection(std::move(connection_));
        run_.reset();
        busy_ = false;
        host_.SetIdleState(true);
        Tell(host_.RunWindow(), "The operation could not be started", std::current_exception());
        return false;
    }
    return true;
}

void RunController::Execute() {
    RecordingWindow window(host_.RunWindow());
    RunContext context{window, cancel_, connection_};
    try {
        if (!ReadyConnection(context.window)) {
            // Nothing to do: said already, or cancelled.
        } else if (run_->CancelCutsWaits()) {
            const CancelScope cancellable(cancel_);
            run_->Execute(context);
        } else {
            run_->Execute(context);
        }
    } catch (...) {
        Tell(context.window, "The operation stopped because of an unexpected error",
             std::current_exception());
        try {
            context.window.ShowTransfer(TransferDisplay{}); // a transfer may have stopped mid-file
        } catch (...) {
        }
    }
    LogEnding(window.LastMessage());
    host_.PostToGuiThread([this] { Finish(); });
}

bool RunController::ReadyConnection(WindowInterface& window) {
    bool kept = false;
    {
        // Making a connection again is a log-in: a cancel abandons it at once.
        const CancelScope cancellable(cancel_);
        kept = connections_.ReadyConnection(connection_, cancel_);
    }
    if (kept || run_->LogsInItself()) {
        return true;
    }
    if (!cancel_) {
        window.Ask({"The connection to the FTP server was lost, and it could not be made again.", "FTP Error",
                    MessageIcon::Stop, MessageButtons::Ok});
    }
    return false;
}

// What the run says of its end, else the last thing it told the user.
void RunController::LogEnding(const std::optional<UserMessage>& lastMessage) noexcept {
    try {
        std::optional<UserMessage> ending = run_->EndingMessage();
        if (!ending) {
            ending = lastMessage;
        }
        if (!ending) {
            ending = UserMessage{
                cancel_ ? "Operation cancelled" : "Operation complete", {}, MessageIcon::Information};
        }
        const bool failed = ending->icon == MessageIcon::Stop || ending->icon == MessageIcon::Exclamation;
        connections_.LogRunEnd(failed ? ftp::LogKind::Error : ftp::LogKind::Info, ending->text);
    } catch (...) {
    }
}

void RunController::Finish() {
    if (!run_) {
        return; // shut down meanwhile
    }
    thread_.join();
    if (connection_ && !connection_->IsConnected()) {
        connection_.reset();
    }
    connections_.ReturnConnection(std::move(connection_));
    const std::unique_ptr<Run> run = std::move(run_);
    busy_ = false;
    host_.SetIdleState(true);
    run->Finish();
}

void RunController::Shutdown() {
    cancel_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    run_.reset();
    connection_.reset();
}

} // namespace tidewell

#include "core/app/RunController.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteFileSystem.h"

namespace tidewell {

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
    thread_ = std::thread([this] {
        RunContext context{host_.RunWindow(), cancel_, connection_};
        if (run_->CancelCutsWaits()) {
            const CancelScope cancellable(cancel_);
            run_->Execute(context);
        } else {
            run_->Execute(context);
        }
        host_.PostToGuiThread([this] { Finish(); });
    });
    return true;
}

void RunController::Finish() {
    if (!run_) {
        return; // shut down meanwhile
    }
    thread_.join();
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

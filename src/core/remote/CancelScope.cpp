#include "core/remote/CancelScope.h"

namespace tidewell {

namespace {
// Per thread, so that a run's cancel never reaches another thread's waits.
thread_local const std::atomic<bool>* cancelFlag = nullptr;
} // namespace

CancelScope::CancelScope(const std::atomic<bool>& flag) : previous_(cancelFlag) {
    cancelFlag = &flag;
}

CancelScope::~CancelScope() {
    cancelFlag = previous_;
}

const std::atomic<bool>* CancelScope::Flag() {
    return cancelFlag;
}

} // namespace tidewell

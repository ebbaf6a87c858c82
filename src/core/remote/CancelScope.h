#pragma once

#include <atomic>

namespace tidewell {

// While a CancelScope lives on a thread, every wait of a remote file system on
// that thread ends as if its deadline had passed, soon after the flag is set:
// a run that is cancelled never waits out a silent server.
class CancelScope {
public:
    explicit CancelScope(const std::atomic<bool>& flag);
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;
    ~CancelScope();

    // The flag of the innermost scope on this thread; nullptr outside any.
    static const std::atomic<bool>* Flag();

private:
    const std::atomic<bool>* previous_;
};

} // namespace tidewell

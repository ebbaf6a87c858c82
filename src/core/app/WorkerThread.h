#pragma once

#include <functional>
#include <thread>

namespace tidewell {

// The one worker of the window (listing, download, upload, delete). Starting
// a new run first joins the previous, finished one; the destructor joins too,
// so no worker outlives the window that owns it.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread() { Join(); }

    void Start(std::function<void()> run) {
        Join();
        thread_ = std::thread(std::move(run));
    }

    // Waits for the last run to end. A run that delivers its result to the
    // window is joined there; called on the worker itself it does nothing.
    void Join() {
        if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
            thread_.join();
        }
    }

    // Whether a run was started and not yet joined (it may have finished already).
    bool Unjoined() const { return thread_.joinable(); }

private:
    std::thread thread_;
};

} // namespace tidewell

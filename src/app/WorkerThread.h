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

    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    bool Running() const { return thread_.joinable(); }

private:
    std::thread thread_;
};

} // namespace tidewell

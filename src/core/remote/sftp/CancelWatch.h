#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tidewell::sftp {

// Ends a libssh wait at once when the run is cancelled: libssh offers no way
// into its waits, so while a call is armed, a thread of this watch looks at
// the run's cancel flag and, once it is set, shuts the connection's socket
// down, which fails the call (and the connection). The thread starts with the
// first armed call and ends with the watch.
class CancelWatch {
public:
    // Watches over the connection on `socket`.
    explicit CancelWatch(int socket);
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;
    ~CancelWatch();

    // While it lives, the cancel flag of the thread's run (CancelScope) is
    // watched; nothing is outside any scope.
    class Armed {
    public:
        Armed() = default;
        Armed(const Armed&) = delete;
        Armed& operator=(const Armed&) = delete;
        ~Armed();

    private:
        friend class CancelWatch;
        Armed(CancelWatch& watch, const std::atomic<bool>* previous) : watch_(&watch), previous_(previous) {}

        CancelWatch* watch_ = nullptr;
        const std::atomic<bool>* previous_ = nullptr;
    };
    [[nodiscard]] Armed Arm();

    // Whether a cancel shut the connection down.
    bool Fired() const { return fired_.load(); }

private:
    void Watch();
    void Set(const std::atomic<bool>* flag);

    int socket_;
    std::mutex mutex_;
    std::condition_variable wake_;
    const std::atomic<bool>* flag_ = nullptr;
    bool stopping_ = false;
    std::atomic<bool> fired_ = false;
    std::thread thread_;
};

} // namespace tidewell::sftp

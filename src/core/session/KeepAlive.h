#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace tidewell {

class ConnectionCloser;
class RemoteFileSystem;

// Holds the window's connection while no run has it and, on a thread of its
// own, tells the server every `interval` of quiet that it is still wanted, so
// that a server with a short idle timeout does not log the user out between
// browsing and downloading. The window's calls never wait for the server: a
// keep-alive under way is waited for by Take, on a run's thread.
class KeepAlive {
public:
    static constexpr std::chrono::milliseconds kDefaultInterval{60'000};
    // Quieter than this, a connection is asked whether it still lives before Take
    // gives it: the server may have dropped it since.
    static constexpr std::chrono::milliseconds kTrustedQuiet{1'000};

    // What the keep-alive lets go of is closed by `closer`, which must outlive it.
    explicit KeepAlive(ConnectionCloser& closer, std::chrono::milliseconds interval = kDefaultInterval);
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;
    // Cuts a keep-alive under way short; what it held goes to the closer.
    ~KeepAlive();

    // Zero or less: none sent.
    void SetInterval(std::chrono::milliseconds interval);

    // Holds `connection`, just used, until Take or Drop. Never waits.
    void Keep(std::unique_ptr<RemoteFileSystem> connection);
    // Whether it holds a connection (one being asked included). Never waits.
    bool Holds() const;
    // Lets go of what it holds, to the closer, now or once the keep-alive under way ends. Never waits.
    void Drop();
    // What it holds (nullptr: nothing), once a keep-alive under way has ended;
    // checked first when it has been quiet for long, so that it may turn out
    // to be no longer connected. On a run's thread: a keep-alive waited for is
    // cut short once `cancel` is set.
    std::unique_ptr<RemoteFileSystem> Take(const std::atomic<bool>& cancel);

private:
    using Clock = std::chrono::steady_clock;

    void Work(const std::stop_token& stop);

    ConnectionCloser& closer_;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::chrono::milliseconds interval_;
    std::unique_ptr<RemoteFileSystem> connection_;
    Clock::time_point quietSince_;
    bool asking_ = false;   // the thread has the connection out for a keep-alive
    bool dropping_ = false; // the connection being asked goes to the closer after
    std::uint64_t changes_ = 0;
    std::atomic<bool> cut_{false}; // cuts the keep-alive under way short
    std::jthread thread_;          // last: started once the rest is ready, joined first
};

} // namespace tidewell

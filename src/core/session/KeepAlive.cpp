#include "core/session/KeepAlive.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/ConnectionCloser.h"

namespace tidewell {

namespace {
// A run's cancel flag wakes nobody: Take looks at it this often.
constexpr std::chrono::milliseconds kCancelCheck{50};
} // namespace

KeepAlive::KeepAlive(ConnectionCloser& closer, std::chrono::milliseconds interval)
    : closer_(closer), interval_(interval), thread_([this](const std::stop_token& stop) { Work(stop); }) {}

KeepAlive::~KeepAlive() {
    thread_.request_stop();
    {
        // After the thread can no longer start one: a keep-alive under way ends soon.
        std::lock_guard lock(mutex_);
        cut_ = true;
    }
    thread_.join();
    closer_.Close(std::move(connection_));
}

void KeepAlive::SetInterval(std::chrono::milliseconds interval) {
    {
        std::lock_guard lock(mutex_);
        interval_ = interval;
        ++changes_;
    }
    changed_.notify_all();
}

void KeepAlive::Keep(std::unique_ptr<RemoteFileSystem> connection) {
    {
        std::lock_guard lock(mutex_);
        if (asking_) {
            dropping_ = true;
        }
        closer_.Close(std::move(connection_));
        connection_ = std::move(connection);
        quietSince_ = Clock::now();
        ++changes_;
    }
    changed_.notify_all();
}

bool KeepAlive::Holds() const {
    std::lock_guard lock(mutex_);
    return connection_ || (asking_ && !dropping_);
}

void KeepAlive::Drop() {
    std::lock_guard lock(mutex_);
    dropping_ = asking_;
    closer_.Close(std::move(connection_));
}

std::unique_ptr<RemoteFileSystem> KeepAlive::Take(const std::atomic<bool>& cancel) {
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, kCancelCheck, [this] { return !asking_; })) {
        if (cancel) {
            cut_ = true;
        }
    }
    std::unique_ptr<RemoteFileSystem> connection = std::move(connection_);
    const bool doubtful = connection && Clock::now() - quietSince_ > kTrustedQuiet;
    lock.unlock();
    if (doubtful && !cancel) {
        connection->KeepAlive();
    }
    return connection;
}

void KeepAlive::Work(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        const std::uint64_t seen = changes_;
        const auto changed = [&] { return changes_ != seen; };
        if (!connection_ || !connection_->IsConnected() || interval_.count() <= 0) {
            changed_.wait(lock, stop, changed);
            continue;
        }
        const Clock::time_point due = quietSince_ + interval_;
        if (Clock::now() < due) {
            changed_.wait_until(lock, stop, due, changed);
            continue;
        }
        std::unique_ptr<RemoteFileSystem> connection = std::move(connection_);
        asking_ = true;
        cut_ = false;
        lock.unlock();
        {
            const CancelScope cuttable(cut_);
            connection->KeepAlive(); // a connection found gone stays, no longer connected, for Take to see
        }
        lock.lock();
        asking_ = false;
        quietSince_ = Clock::now();
        if (dropping_) {
            dropping_ = false;
            closer_.Close(std::move(connection));
        } else {
            connection_ = std::move(connection);
        }
        ++changes_;
        changed_.notify_all();
    }
}

} // namespace tidewell

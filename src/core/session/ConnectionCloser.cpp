#include "core/session/ConnectionCloser.h"

#include "core/remote/RemoteFileSystem.h"

namespace tidewell {

ConnectionCloser::ConnectionCloser() : thread_([this] { Work(); }) {}

ConnectionCloser::~ConnectionCloser() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ConnectionCloser::Close(std::unique_ptr<RemoteFileSystem> connection) {
    if (!connection) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(connection));
    }
    wake_.notify_one();
}

void ConnectionCloser::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty()) {
            return; // stopping, nothing left
        }
        std::unique_ptr<RemoteFileSystem> connection = std::move(pending_.front());
        pending_.pop_front();
        closing_ = true;
        lock.unlock();
        connection->Close();
        connection.reset();
        lock.lock();
        closing_ = false;
        done_.notify_all();
    }
}

void ConnectionCloser::WaitUntilDone() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return pending_.empty() && !closing_; });
}

} // namespace tidewell

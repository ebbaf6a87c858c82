#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace tidewell {

class RemoteFileSystem;

// Says goodbye to connections the window is done with, off the GUI thread: a
// polite close waits for the server's answer (up to seconds on a slow or
// silent one), and the window must not wait with it. What is still closing
// when the closer goes is finished first.
class ConnectionCloser {
public:
    ConnectionCloser();
    ConnectionCloser(const ConnectionCloser&) = delete;
    ConnectionCloser& operator=(const ConnectionCloser&) = delete;
    ~ConnectionCloser();

    void Close(std::unique_ptr<RemoteFileSystem> connection);
    // Returns once every connection handed over is closed: a new log-in to
    // the same server goes after the goodbye to the old one, as a server
    // that limits connections per user expects. Any thread.
    void WaitUntilDone();

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    bool closing_ = false;
    std::deque<std::unique_ptr<RemoteFileSystem>> pending_;
    bool stopping_ = false;
    std::thread thread_; // last: started once the rest is ready
};

} // namespace tidewell

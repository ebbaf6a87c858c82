#include "core/remote/sftp/CancelWatch.h"

#include "core/remote/CancelScope.h"

#include <chrono>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tidewell::sftp {

namespace {
// How often an armed watch looks at the flag.
constexpr std::chrono::milliseconds kLook{20};
} // namespace

// A descriptor of its own: libssh may close its own once the connection
// fails, and the number then goes to whatever socket is opened next.
CancelWatch::CancelWatch(int socket) : socket_(::fcntl(socket, F_DUPFD_CLOEXEC, 0)) {}

CancelWatch::~CancelWatch() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

CancelWatch::Armed CancelWatch::Arm() {
    const auto* flag = CancelScope::Flag();
    if (flag == nullptr) {
        return {};
    }
    const std::lock_guard lock(mutex_);
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Watch(); });
    }
    const auto* previous = flag_;
    flag_ = flag;
    wake_.notify_all();
    return Armed(*this, previous);
}

CancelWatch::Armed::~Armed() {
    if (watch_ != nullptr) {
        watch_->Set(previous_);
    }
}

void CancelWatch::Set(const std::atomic<bool>* flag) {
    const std::lock_guard lock(mutex_);
    flag_ = flag;
}

void CancelWatch::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (flag_ == nullptr) {
            wake_.wait(lock);
        } else if (flag_->load()) {
            ::shutdown(socket_, SHUT_RDWR);
            fired_ = true;
            flag_ = nullptr;
        } else {
            wake_.wait_for(lock, kLook);
        }
    }
}

} // namespace tidewell::sftp

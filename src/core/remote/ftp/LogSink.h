#pragma once

#include "core/remote/ftp/LogLine.h"

#include <functional>
#include <string>
#include <utility>

namespace tidewell::ftp {

// Where a connection writes its dialogue; without a receiver, nowhere. The
// receiver is called on the thread that uses the connection, so it must be
// quick and thread-safe.
class LogSink {
public:
    using Receiver = std::function<void(LogLine)>;

    LogSink() = default;
    explicit LogSink(Receiver receiver) : receiver_(std::move(receiver)) {}

    // Never throws: a line the log cannot take must not break a connection, or its close.
    void Write(LogKind kind, std::string text) const noexcept {
        if (!receiver_) {
            return;
        }
        try {
            receiver_(LogLine::Now(kind, std::move(text)));
        } catch (...) {
        }
    }

private:
    Receiver receiver_;
};

} // namespace tidewell::ftp

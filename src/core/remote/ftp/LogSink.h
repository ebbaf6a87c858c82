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

    // The same receiver, every line marked as said by connection `number`.
    LogSink ForConnection(int number) const {
        LogSink numbered(receiver_);
        numbered.connection_ = number;
        return numbered;
    }

    // Never throws: a line the log cannot take must not break a connection, or its close.
    void Write(LogKind kind, std::string text) const noexcept {
        if (!receiver_) {
            return;
        }
        try {
            LogLine line = LogLine::Now(kind, std::move(text));
            line.connection = connection_;
            receiver_(std::move(line));
        } catch (...) {
        }
    }

private:
    Receiver receiver_;
    int connection_ = 0;
};

} // namespace tidewell::ftp

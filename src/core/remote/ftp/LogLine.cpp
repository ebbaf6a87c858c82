#include "core/remote/ftp/LogLine.h"

#include <cstdio>
#include <ctime>

namespace tidewell::ftp {

namespace {
const char* Mark(LogKind kind) {
    switch (kind) {
    case LogKind::Command:
        return ">";
    case LogKind::Reply:
        return "<";
    case LogKind::Error:
        return "!";
    case LogKind::Info:
        break;
    }
    return "*";
}
} // namespace

LogLine LogLine::Now(LogKind kind, std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return {std::chrono::system_clock::now(), kind, std::move(text)};
}

std::string LogLine::Display() const {
    const auto since = time.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since).count() % 1000;
    std::tm fields{};
    localtime_r(&seconds, &fields);
    char stamp[48] = "";
    char number[16] = "";
    if (connection > 0) {
        std::snprintf(number, sizeof number, "#%d ", connection);
    }
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d %s%s ", fields.tm_hour, fields.tm_min,
                  fields.tm_sec, static_cast<int>(millis), number, Mark(kind));
    return stamp + text;
}

} // namespace tidewell::ftp

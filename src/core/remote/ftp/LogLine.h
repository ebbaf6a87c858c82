#pragma once

#include <chrono>
#include <string>

namespace tidewell::ftp {

enum class LogKind { Command, Reply, Info, Error };

// One line of the dialogue with a server, or of what became of it.
struct LogLine {
    std::chrono::system_clock::time_point time;
    LogKind kind = LogKind::Info;
    std::string text;
    int connection = 0; // which connection of the session said it; 0: none in particular

    // Stamped now. Line breaks become blanks: a line stays one line wherever it is shown.
    static LogLine Now(LogKind kind, std::string text);
    // "14:03:07.412 #2 > USER anna": local time to the millisecond, the
    // connection's number when there is one, then the kind's mark.
    std::string Display() const;
};

} // namespace tidewell::ftp

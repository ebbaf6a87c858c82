#pragma once

#include "core/app/MessageTypes.h"

#include <string>

namespace tidewell {

// Everything the Transfer Status group shows, as one value: a run keeps it up
// to date and hands copies to the window, which shows the latest.
struct TransferDisplay {
    std::string fileName;
    // Bars: position out of maximum, both within 0..65535 (long runs and big
    // files are scaled down, never wrapped).
    int sessionMaximum = 0;
    int sessionPosition = 0;
    std::string sessionPercent = "0%";
    int fileMaximum = 0;
    int filePosition = 0;
    std::string filePercent = "0%";
    std::string bytes = "of 0 Bytes";
    std::string throughput = "0 KB/sec.";
    std::string timeRemaining = "0 Sec(s).";
    bool animating = false;

    bool operator==(const TransferDisplay&) const = default;
};

// The overwrite question: the file that would be replaced, and the existing
// and incoming versions as "<size>, modified on, <date time>".
struct OverwriteQuestion {
    std::string fileLine;
    std::string existingLine;
    std::string incomingLine;

    bool operator==(const OverwriteQuestion&) const = default;
};

enum class OverwriteAnswer { Yes, No, YesToAll, Cancel };

// How a transfer run ended, said once the refreshed listing is on screen:
// the completion notice only when everything asked for was transferred,
// else a message that says what happened and counts the files.
struct TransferEnding {
    bool complete = false;
    UserMessage message; // when not complete
};

} // namespace tidewell

#pragma once

#include "core/app/TransferTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

inline constexpr std::int64_t kTransferBlockSize = 16384;

// Blocks of kTransferBlockSize in a file of `size` bytes, the last one short.
std::int64_t BlockCountOf(std::int64_t size);

// Milliseconds between two readings of the time of day; a block timed across
// midnight would otherwise come out a day negative.
std::int64_t BlockElapsedMs(std::int64_t startMsOfDay, std::int64_t endMsOfDay);

// "819 bytes/sec." or "64.0 KB/sec." for blocks taking `averageBlockMs` (> 0).
std::string ThroughputText(std::int64_t averageBlockMs);
// "1.1 Hour(s)", "3 Minute(s)" or "25 Sec(s).".
std::string TimeRemainingText(std::int64_t remainingMs);

// The smoothed time of one block of a file. The first two blocks are summed
// (so the second rate shown is half the true one); after that only every third
// block within 10 s of the average moves it, which keeps the texts steady.
class BlockStatistics {
public:
    BlockStatistics() = default;
    explicit BlockStatistics(std::int64_t blockCount)
        : blockCount_(blockCount), remainingBlocks_(blockCount) {}

    // Counts one block (a short or empty last read counts as a whole one)
    // and returns the time left it suggests; none while blocks take under 1 ms.
    std::optional<std::int64_t> Add(std::int64_t elapsedMs);

    std::int64_t AverageBlockMs() const { return averageBlockMs_; }

private:
    std::int64_t blockCount_ = 0;
    std::int64_t remainingBlocks_ = 0;
    std::int64_t averageBlockMs_ = 0;
};

// The Transfer Status display of one run, kept up to date as the run goes.
// A run calls, in this order:
//   StartRun(); ResetSession(count) once the files are counted;
//   per file: BeginFile(name, size); per block: StepFile() before reading it
//   and EndBlock(start, end) after writing it; then StepSession() (skipped
//   files too, not after a cancel);
//   EndRun(); the completion notice; ResetDisplay().
// SetFileName shows the run's own lines in the name box, such as "" after a
// directory level.
// Bars are scaled down to fit 0..65535; percentages use the true counts.
class TransferProgress {
public:
    void StartRun();
    // The idle texts of the time left and the animation, before the notice.
    void EndRun();
    // Everything back to idle once the notice is closed.
    void ResetDisplay();

    void ResetSession(std::int64_t fileCount);
    void StepSession();

    void SetFileName(std::string_view name) { display_.fileName = name; }
    void BeginFile(std::string_view name, std::int64_t size);
    void StepFile();
    void EndBlock(std::int64_t startMsOfDay, std::int64_t endMsOfDay);

    const TransferDisplay& Display() const { return display_; }

private:
    void SetIdleTimeRemaining();

    // What the texts were formatted from; they are formatted again only when it changes.
    struct Shown {
        double sessionPercent = 0.0;
        double filePercent = 0.0;
        std::optional<double> time = 0.0;
        std::int64_t averageBlockMs = 0;
    };

    TransferDisplay display_;
    Shown shown_;
    std::int64_t sessionCount_ = 0;
    std::int64_t sessionDone_ = 0;
    std::int64_t fileBlocks_ = 0;
    std::int64_t fileDone_ = 0;
    std::string bytesText_;
    BlockStatistics statistics_;
};

} // namespace tidewell

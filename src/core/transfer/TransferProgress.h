#pragma once

#include "core/app/TransferTypes.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

inline constexpr std::int64_t kTransferBlockSize = 16384;

// Blocks of kTransferBlockSize in a file of `size` bytes, the last one short.
std::int64_t BlockCountOf(std::int64_t size);

// Blocks are timed on the monotonic clock at its full resolution: the time of
// day can jump (it is set or corrected), and a block over loopback takes
// microseconds.
using BlockClock = std::chrono::steady_clock;

// "819 bytes/sec." or "64.0 KB/sec.".
std::string ThroughputText(double bytesPerSecond);
// "1.1 Hour(s)", "3 Minute(s)" or "25 Sec(s).".
std::string TimeRemainingText(std::int64_t remainingMs);

// The rate of one file's transfer over its last one to two seconds of block
// time: steady enough to read, yet a change of speed or a stall is behind it
// within two seconds. Every byte counts, except that from the third block on
// a block 10 s or more longer or shorter than the average block is left out.
class RateMeter {
public:
    void Add(std::int64_t bytes, BlockClock::duration elapsed);
    // None until some bytes have taken measurable time.
    std::optional<double> BytesPerSecond() const;

private:
    struct Span {
        std::int64_t bytes = 0;
        std::int64_t blocks = 0;
        BlockClock::duration time{};
    };

    Span current_;
    Span previous_;
    std::int64_t blocks_ = 0;
};

// The Transfer Status display of one run, kept up to date as the run goes.
// A run calls, in this order:
//   StartRun(); ResetSession(count) once the files are counted;
//   per file: BeginFile(name, size); per block: StepFile() before reading it
//   (or StepFile(n) for the n blocks a read brought) and EndBlock(start, end,
//   bytes) after writing it; then StepSession() (skipped
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
    void StepFile(std::int64_t blocks = 1);
    void EndBlock(BlockClock::time_point start, BlockClock::time_point end, std::int64_t bytes);
    // With several connections at once the throughput is the run's, over all
    // of them; the blocks of files other than the one shown count only there.
    void SetParallel(bool parallel) { parallel_ = parallel; }
    void EndOtherBlock(BlockClock::time_point start, BlockClock::time_point end, std::int64_t bytes);

    const TransferDisplay& Display() const { return display_; }

private:
    // What the texts were formatted from; they are formatted again only when it changes.
    struct Shown {
        double sessionPercent = 0.0;
        double filePercent = 0.0;
    };

    TransferDisplay display_;
    Shown shown_;
    std::int64_t sessionCount_ = 0;
    std::int64_t sessionDone_ = 0;
    std::int64_t fileBlocks_ = 0;
    std::int64_t fileDone_ = 0;
    std::int64_t fileSize_ = 0;
    std::int64_t fileBytes_ = 0;
    std::string bytesText_;
    RateMeter rate_;
    BlockClock::duration sinceTexts_{}; // block time since the statistics texts were formatted
    bool parallel_ = false;
    // The run's rate while parallel: bytes over the time in which any block
    // was under way, so that overlapping blocks count their time once.
    RateMeter runRate_;
    BlockClock::time_point runCovered_{};
};

} // namespace tidewell

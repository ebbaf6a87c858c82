#include "core/transfer/TransferProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace tidewell {
namespace {

using namespace std::chrono_literals;

TEST(TransferTexts, FormsAndTheirBoundaries) {
    const std::pair<double, const char*> rates[] = {
        {65'536.0, "64.0 KB/sec."}, {819.2, "819 bytes/sec."}, {1'024.0, "1.0 KB/sec."}};
    for (const auto& [rate, text] : rates) {
        EXPECT_EQ(ThroughputText(rate), text) << rate;
    }
    const std::pair<std::int64_t, const char*> times[] = {
        {25'000, "25 Sec(s)."},   {59'999, "60 Sec(s)."},     {60'000, "1 Minute(s)"},
        {200'000, "3 Minute(s)"}, {4'000'000, "1.1 Hour(s)"}, {10'000'000'000, "2777.8 Hour(s)"}};
    for (const auto& [ms, text] : times) {
        EXPECT_EQ(TimeRemainingText(ms), text) << ms;
    }
}

// Synthetic blocks as a run times them. After two seconds of steady blocks the
// texts are within 20% of the true rate and time left, whatever the speed, the
// bytes per read and the stall before; a stall 10 s past the average block is
// no sample at all.
TEST(TransferProgress, RateAndTimeLeftAreWithinAFifthOfTheTruth) {
    struct Blocks {
        int repeat;
        std::int64_t bytes;
        std::vector<BlockClock::duration> times; // of consecutive blocks
    };
    struct Case {
        const char* name;
        std::int64_t size;
        std::vector<Blocks> blocks;
        double rate; // the truth
    };
    constexpr std::int64_t k = kTransferBlockSize;
    constexpr double k4MBs = 4'096'000.0;
    // 4 MB/s as it arrives: 64 KiB every 16 ms, the first block waiting for it all.
    const Blocks twoSeconds{125, k, {15'940us, 20us, 20us, 20us}};
    const Case cases[] = {
        {"4 MB/s", 80'000'000, {twoSeconds}, k4MBs},
        {"loopback", 8LL << 30, {{40'000, k, {50us}}}, k * 20'000.0},
        {"short reads", 80'000'000, {{2'000, 4'096, {1ms}}}, k4MBs},
        {"after a stall", 80'000'000, {twoSeconds, {1, k, {5s}}, twoSeconds}, k4MBs},
        {"stalled 12 s", 80'000'000, {twoSeconds, {1, k, {12s}}}, k4MBs},
        {"past its size", 1'000, {twoSeconds}, k4MBs},
    };
    const auto shownRate = [](const std::string& text) {
        return std::stod(text) * (text.ends_with("KB/sec.") ? 1024.0 : 1.0);
    };
    const auto shownSeconds = [](const std::string& text) {
        return std::stod(text) * (text.ends_with("Hour(s)")     ? 3600.0
                                  : text.ends_with("Minute(s)") ? 60.0
                                                                : 1.0);
    };
    for (const auto& c : cases) {
        TransferProgress progress;
        progress.BeginFile("f", c.size);
        BlockClock::time_point now;
        std::int64_t sent = 0;
        for (const Blocks& blocks : c.blocks) {
            for (int i = 0; i < blocks.repeat; ++i) {
                for (const BlockClock::duration time : blocks.times) {
                    progress.EndBlock(now, now + time, blocks.bytes);
                    now += time;
                    sent += blocks.bytes;
                }
            }
        }
        const double secondsLeft = static_cast<double>(std::max<std::int64_t>(c.size - sent, 0)) / c.rate;
        const TransferDisplay& d = progress.Display();
        EXPECT_NEAR(shownRate(d.throughput), c.rate, c.rate / 5) << c.name << ": " << d.throughput;
        EXPECT_NEAR(shownSeconds(d.timeRemaining), secondsLeft, secondsLeft / 5)
            << c.name << ": " << d.timeRemaining;
    }
}

// Two connections at 4 MB/s each, their blocks under way at the same time:
// a parallel run shows 8 MB/s, not the one file's 4.
TEST(TransferProgress, AParallelRunShowsTheRateOfEveryConnection) {
    constexpr std::int64_t k = kTransferBlockSize;
    TransferProgress progress;
    progress.SetParallel(true);
    progress.BeginFile("shown", 80'000'000);
    BlockClock::time_point now;
    for (int i = 0; i < 700; ++i) {
        progress.EndBlock(now, now + 4ms, k);
        progress.EndOtherBlock(now + 1ms, now + 4ms + 1ms, k);
        now += 4ms;
    }
    const std::string shown = progress.Display().throughput;
    ASSERT_TRUE(shown.ends_with(" KB/sec.")) << shown;
    EXPECT_NEAR(std::stod(shown) * 1024.0, 2 * k / 0.004, 2 * k / 0.004 / 5) << shown;
}

TEST(TransferProgress, FileBar) {
    struct Case {
        std::int64_t size, steps;
        int maximum, position;
        const char *percent, *bytes;
    };
    const Case cases[] = {
        {3 * kTransferBlockSize, 2, 3, 2, "67%", "of 48.00 KB"},
        {3 * kTransferBlockSize, 4, 3, 3, "100%", "of 48.00 KB"}, // the step before the empty read
        {1, 1, 1, 1, "100%", "of 1 Bytes"},
        {0, 1, 0, 0, "0%", "of 0 Bytes"},
        {5LL << 30, 1, 40'960, 0, "0%", "of 5120.00 MB"}, // 327,680 blocks, shown in eighths
        {5LL << 30, 327'680, 40'960, 40'960, "100%", "of 5120.00 MB"},
    };
    for (const auto& c : cases) {
        TransferProgress progress;
        progress.BeginFile("f", c.size);
        for (std::int64_t i = 0; i < c.steps; ++i) {
            progress.StepFile();
        }
        const TransferDisplay& d = progress.Display();
        EXPECT_EQ(std::tie(d.fileMaximum, d.filePosition, d.filePercent, d.bytes),
                  std::tie(c.maximum, c.position, c.percent, c.bytes))
            << c.size << " after " << c.steps;
    }
}

TEST(TransferProgress, SessionBar) {
    struct Case {
        std::int64_t count, steps;
        int maximum, position;
        const char* percent;
    };
    const Case cases[] = {
        {3, 1, 3, 1, "33%"},
        {3, 5, 3, 3, "100%"}, // the walk found more than were counted
        {0, 2, 0, 0, "0%"},
    };
    for (const auto& c : cases) {
        TransferProgress progress;
        progress.ResetSession(c.count);
        for (std::int64_t i = 0; i < c.steps; ++i) {
            progress.StepSession();
        }
        const TransferDisplay& d = progress.Display();
        EXPECT_EQ(std::tie(d.sessionMaximum, d.sessionPosition, d.sessionPercent),
                  std::tie(c.maximum, c.position, c.percent))
            << c.count << " after " << c.steps;
    }
}

// The final values while the notice shows and the rest after it: DownloadWindowTest.
TEST(TransferProgress, AnimatesWhileRunningAndTheBarsKeepTheirRangesAtRest) {
    TransferProgress progress;
    progress.StartRun();
    EXPECT_TRUE(progress.Display().animating);
    progress.ResetSession(2);
    progress.BeginFile("a.txt", kTransferBlockSize);
    progress.ResetDisplay();
    TransferDisplay idle;
    idle.sessionMaximum = 2;
    idle.fileMaximum = 1;
    EXPECT_EQ(progress.Display(), idle);
}

} // namespace
} // namespace tidewell

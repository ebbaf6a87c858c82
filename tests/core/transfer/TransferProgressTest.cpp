#include "core/transfer/TransferProgress.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace tidewell {
namespace {

TEST(TransferTexts, FormsAndTheirBoundaries) {
    const std::pair<std::int64_t, const char*> rates[] = {
        {250, "64.0 KB/sec."}, {20'000, "819 bytes/sec."}, {16'000, "1.0 KB/sec."}};
    for (const auto& [averageMs, text] : rates) {
        EXPECT_EQ(ThroughputText(averageMs), text) << averageMs;
    }
    const std::pair<std::int64_t, const char*> times[] = {
        {25'000, "25 Sec(s)."},   {59'999, "60 Sec(s)."},     {60'000, "1 Minute(s)"},
        {200'000, "3 Minute(s)"}, {4'000'000, "1.1 Hour(s)"}, {10'000'000'000, "2777.8 Hour(s)"}};
    for (const auto& [ms, text] : times) {
        EXPECT_EQ(TimeRemainingText(ms), text) << ms;
    }
}

TEST(BlockStatistics, FirstTwoSummedThenEveryThirdWithinTenSeconds) {
    struct Case {
        std::int64_t blocks;
        std::vector<std::int64_t> elapsed, averages; // the average after each block
    };
    const Case cases[] = {
        // Remaining 9..0: only 6, 3 and 0 may move it; 10,300 is 10 s off 300, 10,299 is not.
        {9,
         {100, 150, 400, 350, 500, 500, 10'300, 80, 90, 10'299},
         {100, 250, 250, 300, 300, 300, 300, 300, 300, 5'299}},
        {5, {200, 200, 0}, {200, 400, 400}}, // a 0 ms block at remaining 3 is no sample
    };
    for (const auto& c : cases) {
        BlockStatistics statistics(c.blocks);
        for (std::size_t i = 0; i < c.elapsed.size(); ++i) {
            statistics.Add(c.elapsed[i]);
            EXPECT_EQ(statistics.AverageBlockMs(), c.averages[i]) << c.blocks << " block " << i;
        }
    }
}

TEST(TransferProgress, StatisticsTextsFollowTheTimedBlocks) {
    TransferProgress progress;
    progress.BeginFile("f", 100 * kTransferBlockSize);
    progress.EndBlock(86'399'900, 150); // 250 ms across midnight
    EXPECT_EQ(progress.Display().throughput, "64.0 KB/sec.");
    EXPECT_EQ(progress.Display().timeRemaining, "25 Sec(s).");

    // Blocks under 1 ms leave the previous file's texts; the last read of a
    // file, empty or not, shows no time left.
    progress.BeginFile("g", 2 * kTransferBlockSize);
    progress.EndBlock(5, 5);
    EXPECT_EQ(progress.Display().timeRemaining, "25 Sec(s).");
    progress.EndBlock(0, 1'000);
    progress.EndBlock(0, 1'000);
    EXPECT_EQ(progress.Display().throughput, "16.0 KB/sec.");
    EXPECT_EQ(progress.Display().timeRemaining, "0 Sec(s).");
    progress.EndBlock(0, 1'000); // more than the server announced
    EXPECT_EQ(progress.Display().timeRemaining, "0 Sec(s).");
    progress.BeginFile("empty", 0);
    progress.EndBlock(0, 500);
    EXPECT_EQ(progress.Display().throughput, "32.0 KB/sec.");
    EXPECT_EQ(progress.Display().timeRemaining, "0 Sec(s).");

    progress.BeginFile("h", 60 * kTransferBlockSize);
    progress.EndBlock(0, 17); // 60 x 17 ms
    EXPECT_EQ(progress.Display().timeRemaining, "1 Sec(s).");
    progress.EndBlock(0, 1'000); // 59 x 1,017 ms
    EXPECT_EQ(progress.Display().timeRemaining, "1 Minute(s)");
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
        {3, 2, 3, 2, "67%"},
        {3, 5, 3, 3, "100%"}, // the walk found more than were counted
        {0, 2, 0, 0, "0%"},
        {70'000, 35'000, 35'000, 17'500, "50%"},
        {70'000, 70'000, 35'000, 35'000, "100%"},
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

TEST(TransferProgress, FinalValuesStayUntilTheNoticeIsClosed) {
    TransferProgress progress;
    progress.StartRun();
    EXPECT_TRUE(progress.Display().animating);
    progress.ResetSession(2);
    progress.BeginFile("a.txt", kTransferBlockSize);
    progress.StepFile();
    progress.EndBlock(0, 250);
    progress.StepSession();
    progress.SetFileName("");
    progress.EndRun();

    TransferDisplay expected{"",          2,    1, "50%", 1, 1, "100%", "of 16.00 KB", "64.0 KB/sec.",
                             "0 Sec(s).", false};
    EXPECT_EQ(progress.Display(), expected);
    progress.ResetDisplay();
    TransferDisplay idle; // the bars keep their ranges
    idle.sessionMaximum = 2;
    idle.fileMaximum = 1;
    EXPECT_EQ(progress.Display(), idle);

    progress.StartRun(); // the same block time shows again on the next run
    progress.BeginFile("b.txt", kTransferBlockSize);
    progress.EndBlock(0, 250);
    EXPECT_EQ(progress.Display().throughput, "64.0 KB/sec.");
}

} // namespace
} // namespace tidewell

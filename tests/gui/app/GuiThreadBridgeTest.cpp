#include "gui/app/GuiThreadBridge.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

namespace tidewell {
namespace {

constexpr int kBound = 30000; // ms, for the GUI thread to get through its events

// Every post runs on the GUI thread, in order; a call waits for its answer,
// which sees every post made before it.
TEST(GuiThreadBridge, PostsRunOnTheGuiThreadInOrderAndCallsWaitForTheirAnswer) {
    GuiThreadBridge bridge;
    const auto gui = std::this_thread::get_id();
    std::vector<int> seen; // GUI thread only
    bool offThread = false;
    constexpr int kPosts = 20000;
    std::vector<int> answers, expectedAnswers; // worker thread only
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        for (int i = 0; i < kPosts; ++i) {
            bridge.Post([&, i] {
                offThread |= std::this_thread::get_id() != gui;
                seen.push_back(i);
            });
            if (i % 1000 == 0) {
                answers.push_back(bridge.Call<int>([&] { return static_cast<int>(seen.size()); }, -1));
                expectedAnswers.push_back(i + 1);
            }
        }
        finished = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished && static_cast<int>(seen.size()) == kPosts; }, kBound));
    worker.join();
    EXPECT_FALSE(offThread);
    std::vector<int> inOrder(kPosts);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(seen, inOrder);
    EXPECT_EQ(answers, expectedAnswers);
}

TEST(GuiThreadBridge, DisplayUpdatesCoalesceToTheLatest) {
    GuiThreadBridge bridge;
    int runs = 0;
    int shown = -1;
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i) {
            bridge.PostLatest(1, [&, i] {
                ++runs;
                shown = i;
            });
        }
        bridge.Post([] {});
    });
    worker.join(); // nothing drained yet: every update waits in one slot
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown == 999; }, kBound));
    EXPECT_EQ(runs, 1);
}

TEST(GuiThreadBridge, ShutdownReleasesAWaitingCallerWithTheFallback) {
    GuiThreadBridge bridge;
    std::atomic<int> answer{0};
    bool ran = false;
    std::thread worker([&] { answer = bridge.Call<int>([&] { return ran = true, 7; }, -1); });
    bridge.Shutdown(); // the GUI thread never drains
    worker.join();
    EXPECT_EQ(answer, -1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    bridge.Post([&] { ran = true; }); // on the GUI thread a post still runs at once
    EXPECT_TRUE(ran);
}

} // namespace
} // namespace tidewell

#include "gui/app/GuiThreadBridge.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tidewell {
namespace {

// Runs the GUI thread's events until done() holds, for at most 30 seconds.
template <class Done> bool PumpUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TEST(GuiThreadBridge, PostsFromAWorkerRunOnTheGuiThreadInOrder) {
    GuiThreadBridge bridge;
    const auto gui = std::this_thread::get_id();
    std::vector<int> seen; // GUI thread only
    bool offThread = false;
    constexpr int kPosts = 20000;
    std::atomic<bool> posted{false};
    std::thread worker([&] {
        for (int i = 0; i < kPosts; ++i) {
            bridge.Post([&, i] {
                offThread |= std::this_thread::get_id() != gui;
                seen.push_back(i);
            });
        }
        posted = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return static_cast<int>(seen.size()) == kPosts; }));
    worker.join();
    EXPECT_TRUE(posted);
    EXPECT_FALSE(offThread);
    for (int i = 0; i < kPosts; ++i) {
        ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
    }
}

TEST(GuiThreadBridge, BlockingCallsWaitForTheGuiThreadsAnswer) {
    GuiThreadBridge bridge;
    int guiState = 0; // touched on the GUI thread only
    std::vector<int> answers;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        for (int i = 0; i < 300; ++i) {
            bridge.Post([&] { ++guiState; });
            answers.push_back(bridge.Call<int>([&] { return guiState * 10; }, -1));
        }
        finished = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return finished.load(); }));
    worker.join();
    ASSERT_EQ(answers.size(), 300u);
    // Each answer saw every post made before the call.
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(answers[static_cast<std::size_t>(i)], (i + 1) * 10);
    }
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
    ASSERT_TRUE(PumpUntil([&] { return shown == 999; }));
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

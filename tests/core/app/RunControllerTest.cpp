// The run controller and the listing run, driven by a scripted window whose
// "GUI thread" is the test's own: it runs what runs post to it, answers their
// messages and records what they showed.
#include "core/app/RunController.h"

#include "core/remote/ConnectionLog.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/ListingRun.h"
#include "fixtures/FtpServers.h"
#include "support/ScriptedRunHost.h"
#include "support/SilentServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <future>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace tidewell {
namespace {

using namespace std::chrono_literals;

// What a gated run did; it outlives the run, which the controller deletes.
struct Gate {
    std::promise<void> entered;
    std::promise<void> open;
    std::atomic<bool> sawCancel{false};
    std::function<void()> fail; // called once the gate opens
    int finished = 0;           // test thread only
};

// Holds its thread until the test opens the gate or cancels; the cancel flag
// wakes nobody, so it is looked at in slices, as a run does.
class GateRun : public Run {
public:
    explicit GateRun(Gate& gate) : gate_(gate), opened_(gate.open.get_future()) {}
    void Execute(RunContext& context) override {
        gate_.entered.set_value();
        while (opened_.wait_for(10ms) != std::future_status::ready && !context.cancel) {
        }
        gate_.sawCancel = context.cancel.load();
        if (gate_.fail) {
            gate_.fail();
        }
    }
    void Finish() override { ++gate_.finished; }

private:
    Gate& gate_;
    std::future<void> opened_;
};

using Fixture = test::RunBench<>;

TEST(RunController, OneRunAtATimeBusyFromStartToFinishAndTheConnectionIsTheRunsMeanwhile) {
    Fixture f;
    Gate run, second;
    ASSERT_TRUE(f.runs.Start(std::make_unique<GateRun>(run)));
    EXPECT_EQ(f.host.events, (std::vector<std::string>{"busy"}));
    run.entered.get_future().wait();
    EXPECT_TRUE(f.runs.Busy());
    EXPECT_FALSE(f.runs.Start(std::make_unique<GateRun>(second)));
    EXPECT_FALSE(f.session.Disconnect()); // the run holds the connection

    run.open.set_value();
    ASSERT_TRUE(f.host.PumpUntil([&] { return !f.runs.Busy(); }));
    EXPECT_EQ(f.host.events, (std::vector<std::string>{"busy", "idle"}));
    EXPECT_EQ(run.finished, 1);
    EXPECT_FALSE(run.sawCancel);
    EXPECT_TRUE(f.session.Disconnect());
}

TEST(RunController, CancelReachesTheRunAndShutdownJoinsARunStillGoing) {
    Fixture f;
    Gate cancelled, abandoned;
    ASSERT_TRUE(f.runs.Start(std::make_unique<GateRun>(cancelled)));
    cancelled.entered.get_future().wait();
    f.runs.Cancel();
    ASSERT_TRUE(f.host.PumpUntil([&] { return !f.runs.Busy(); }));
    EXPECT_TRUE(cancelled.sawCancel);

    // A new run starts with the flag down; the controller's end cancels and joins it.
    ASSERT_TRUE(f.runs.Start(std::make_unique<GateRun>(abandoned)));
    abandoned.entered.get_future().wait();
    EXPECT_FALSE(abandoned.sawCancel);
    f.runs.Shutdown();
    EXPECT_TRUE(abandoned.sawCancel);
    EXPECT_EQ(abandoned.finished, 0); // its result is dropped
}

// A run that throws while a transfer shows: a standard exception and one of no known type.
TEST(RunController, WhateverARunThrowsIsOneMessageAndTheRunEndsAsAnyOther) {
    struct NotAnException {};
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { throw std::runtime_error("disk on fire"); },
         "The operation stopped because of an unexpected error: disk on fire"},
        {[] { throw NotAnException{}; }, "The operation stopped because of an unexpected error."},
    };
    for (const auto& [fail, text] : cases) {
        SCOPED_TRACE(text);
        Fixture f;
        TransferDisplay underWay;
        underWay.animating = true;
        f.host.ShowTransfer(underWay);
        Gate run;
        run.fail = fail;
        run.open.set_value();
        ASSERT_TRUE(f.runs.Start(std::make_unique<GateRun>(run)));
        ASSERT_TRUE(f.host.PumpUntil([&] { return !f.runs.Busy(); }));
        EXPECT_EQ(f.host.Messages(),
                  (std::vector<UserMessage>{{text, "ERROR", MessageIcon::Stop, MessageButtons::Ok}}));
        EXPECT_EQ(f.host.events, (std::vector<std::string>{"busy", "idle"}));
        EXPECT_EQ(f.host.LastDisplay(), TransferDisplay{});
        EXPECT_EQ(run.finished, 1);
    }
}

TEST(ListingRun, EachConnectFailureHasItsMessageAndLeavesNoConnection) {
    constexpr const char* kBadAddress = "Can't connect to FTP server - check the FTP address";
    std::string closed; // a loopback port nobody listens on any more
    {
        const test::SilentServer gone;
        closed = gone.Address();
    }
    const std::pair<std::string, const char*> cases[] = {
        {"nonexistent.invalid", kBadAddress},
        {"127.0.0.1:99999", kBadAddress}, // unreadable port
        {closed, "Can't connect to the FTP server"},
    };
    for (const auto& [address, text] : cases) {
        SCOPED_TRACE(address);
        Fixture f;
        const auto outcome =
            f.Run<ListingRun, ListingOutcome>(f.session, SiteProfile{address, "user", "password", ""});
        EXPECT_EQ(f.host.Messages(),
                  (std::vector<UserMessage>{{text, "FTP Error", MessageIcon::Stop, MessageButtons::Ok}}));
        EXPECT_FALSE(outcome.connected);
        EXPECT_FALSE(outcome.listing.has_value());
        EXPECT_FALSE(f.session.Connected());
    }
}

// Where a run that needs the window's connection finds it; nothing without one.
class WhereRun : public Run {
public:
    using Where = std::optional<std::string>;
    explicit WhereRun(std::function<void(Where)> done) : done_(std::move(done)) {}
    void Execute(RunContext& context) override {
        where_ = context.connection ? context.connection->RealPath() : std::nullopt;
    }
    void Finish() override { done_(where_); }

private:
    std::function<void(Where)> done_;
    Where where_;
};

std::size_t LogLinesStarting(const ConnectionLog& log, std::string_view start) {
    const auto lines = log.After(0);
    return std::count_if(lines.begin(), lines.end(),
                         [&](const auto& entry) { return entry->line.text.starts_with(start); });
}

// The server drops a connection quiet for 2 s.
TEST(RemoteSession, AnIdleLogInIsKeptAliveAndALostOneIsMadeAgainQuietlyOrSaidOnce) {
    using Where = WhereRun::Where;
    std::optional<test::PyftpdlibServer> server(std::in_place, "idle-2s");
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutDirectory("sub");
    Fixture f;
    f.session.SetKeepAliveInterval(1s);
    SiteProfile site = Fixture::SiteOf(*server);
    site.directory = "sub";
    f.Run<ListingRun, ListingOutcome>(f.session, site);
    ASSERT_TRUE(f.session.Connected());
    const ConnectionLog& log = *f.session.Log();
    const auto where = [&] { return f.Run<WhereRun, Where>(); };
    const auto lost = [&](std::size_t times) {
        return f.host.PumpUntil([&] { return LogLinesStarting(log, "Connection lost") == times; }, 10s);
    };

    std::this_thread::sleep_for(4s); // twice the server's patience
    EXPECT_EQ(where(), "/sub");
    EXPECT_EQ(LogLinesStarting(log, "USER "), 1u);

    // Told too late, the server has dropped it: the next run has it back where the list is.
    f.session.SetKeepAliveInterval(3s);
    ASSERT_TRUE(lost(1));
    EXPECT_EQ(where(), "/sub");
    EXPECT_EQ(LogLinesStarting(log, "USER "), 2u);
    EXPECT_TRUE(f.host.Messages().empty());

    f.session.SetKeepAliveInterval(1s);
    server.reset();
    ASSERT_TRUE(lost(2));
    EXPECT_EQ(where(), std::nullopt);
    EXPECT_EQ(f.host.Messages(),
              (std::vector<UserMessage>{
                  {"The connection to the FTP server was lost, and it could not be made again.", "FTP Error",
                   MessageIcon::Stop, MessageButtons::Ok}}));
    EXPECT_FALSE(f.session.Connected());
}

} // namespace
} // namespace tidewell

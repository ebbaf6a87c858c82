// The connection log as the window reads it: a real log-in's dialogue, and the ring.
#include "core/remote/ConnectionLog.h"

#include "fixtures/FtpServers.h"
#include "support/ScriptedRunHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using Lines = std::vector<std::shared_ptr<const ConnectionLog::Entry>>;
using ::testing::Contains;
using ::testing::IsSupersetOf;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

// A log-in, a log-out and a refused log-in, read piece by piece while the
// runs write: every line is seen once and in order, the dialogue is there
// with the password masked, and each run's end closes its part.
TEST(ConnectionLog, HoldsTheDialogueOfEachLogInButNeverThePassword) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutFile("a.txt", "a");
    server.PutDirectory("d");
    test::RunBench<> bench;
    const std::shared_ptr<ConnectionLog> log = bench.session.Log();
    Lines seen;
    const auto logIn = [&](const SiteProfile& site) {
        bool ended = false;
        ASSERT_TRUE(bench.runs.Start(
            std::make_unique<ListingRun>(bench.session, site, [&](const ListingOutcome&) { ended = true; })));
        ASSERT_TRUE(bench.host.PumpUntil([&] {
            const Lines more = log->After(seen.empty() ? 0 : seen.back()->sequence);
            seen.insert(seen.end(), more.begin(), more.end());
            return ended;
        }));
    };
    SiteProfile site = bench.SiteOf(server);
    logIn(site);
    bench.session.Disconnect();
    site.password += "!";
    logIn(site);

    const Lines all = log->After(0);
    ASSERT_EQ(seen.size(), all.size());
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(seen[i], all[i]) << i;
        EXPECT_EQ(all[i]->sequence, i + 1);
        const std::string line = all[i]->line.Display();
        EXPECT_THAT(line, MatchesRegex("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} (#[12] )?[<>*!] .+"));
        EXPECT_EQ(line.find(server.Address().password), std::string::npos) << line;
        shown.push_back(line.substr(13));
    }
    const std::string port = std::to_string(server.Address().port);
    EXPECT_THAT(shown, IsSupersetOf<std::vector<std::string>>(
                           {"#1 * Connecting to 127.0.0.1:" + port, "#1 * Connected to 127.0.0.1:" + port,
                            "#1 > USER tester", "#1 > PASS ****", "* Listing complete: 1 file(s), 1 dir(s)",
                            "#1 > QUIT", "#1 * Connection closed", "#2 > USER tester"}));
    for (const char* reply : {"#1 < 220 ", "#1 < 230 ", "#1 < 211-", "#1 < 211 ", "#2 < 530 "}) {
        EXPECT_THAT(shown, Contains(StartsWith(reply))) << reply;
    }
    EXPECT_EQ(shown.back(), "! Can't connect to FTP server - check the FTP username/password");
}

// The last 10,000 lines stay, numbered on; a clear empties the log and the numbering goes on.
TEST(ConnectionLog, KeepsTheLastLinesAndClears) {
    ConnectionLog log;
    const std::size_t total = ConnectionLog::kCapacity + 7;
    for (std::size_t i = 1; i <= total; ++i) {
        log.Append(ftp::LogLine::Now(ftp::LogKind::Info, std::to_string(i)));
    }
    const Lines kept = log.After(0);
    ASSERT_EQ(kept.size(), ConnectionLog::kCapacity);
    EXPECT_EQ(kept.front()->line.text, "8");
    EXPECT_EQ(kept.front()->sequence, 8u);
    EXPECT_EQ(kept.back()->line.text, std::to_string(total));
    EXPECT_EQ(log.After(total - 2).size(), 2u);
    EXPECT_TRUE(log.After(total).empty());

    log.Clear();
    EXPECT_TRUE(log.After(0).empty());
    log.Append(ftp::LogLine::Now(ftp::LogKind::Error, "after"));
    const Lines after = log.After(total);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after.front()->sequence, total + 1);
}

} // namespace
} // namespace tidewell

#include "core/remote/ftp/EngineTestSupport.h"

#include "core/remote/ftp/FtpException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <future>
#include <map>

namespace tidewell::ftp {
namespace {

using namespace support;
using namespace std::string_literals;
using test::FtpServer;
using ::testing::ElementsAre;

using Kind = test::ServerKind;
using test::StartServer;

// vsftpd cannot run without root on some machines; that is said, not hidden.
#define START_OR_SKIP(server)                                                                                \
    if (!(server)->Ready()) {                                                                                \
        if ((server)->Failure().find("needs root") != std::string::npos) {                                   \
            GTEST_SKIP() << (server)->Failure();                                                             \
        }                                                                                                    \
        FAIL() << (server)->Failure();                                                                       \
    }

// Nothing here depends on the server's kind, so pyftpdlib alone serves.
TEST(FtpEngineConnect, FailuresCarryTheirCodes) {
    FtpSession session(std::chrono::seconds(10));
    ExpectFtpError(error::kHostNotResolved,
                   [&] { session.GetFtpConnection("nonexistent.invalid", "u", "p", 21, false); });
    std::uint16_t closedPort = 0;
    {
        test::PyftpdlibServer server;
        ASSERT_TRUE(server.Ready()) << server.Failure();
        const auto& address = server.Address();
        closedPort = address.port;
        const auto reply = ExpectFtpError(error::kLoginRefused, [&] {
            session.GetFtpConnection(address.host, address.user, "wrong-password", address.port, false);
        });
        EXPECT_EQ(reply.substr(0, 3), "530") << "the server's text travels with the error";
    }
    // The stopped server leaves a port where nothing listens.
    ExpectFtpError(error::kCannotConnect,
                   [&] { session.GetFtpConnection("127.0.0.1", "u", "p", closedPort, false); });
}

// CR, LF or NUL in a name never reach the wire; the check is the client's own.
TEST(FtpEngineNames, RefusesNamesThatWouldInjectCommands) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutFile("victim.txt", "keep me");
    auto connection = Connect(server, false);
    for (const auto& bad : {"x\r\nDELE victim.txt"s, "victim.txt\0"s, "a\rb"s, "a\nb"s}) {
        EXPECT_FALSE(connection->Remove(bad));
        EXPECT_FALSE(connection->Rename("victim.txt", bad));
        ExpectFtpError(error::kErrorReply, [&] { connection->OpenFile(bad, FtpFile::Access::Read); });
        FtpFileFind find(*connection);
        find.FindFile(bad);
        EXPECT_EQ(find.LastResult(), FtpFileFind::Result::Failed);
    }
    EXPECT_EQ(server.ReadFile("victim.txt"), "keep me");
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

// FindFile reads the whole listing, so the connection serves other commands
// while the entries are walked.
TEST(FtpEngineFind, RemoveAndOpenFileServeDuringAnOpenSearch) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    for (unsigned i = 0; i < 3; ++i) {
        server.PutFile("entry" + std::to_string(i), MakeContent(20000 + i, i));
    }
    auto connection = Connect(server, true);
    FtpFileFind find(*connection);
    int seen = 0;
    for (bool more = find.FindFile("entry*"); more; ++seen) {
        more = find.FindNextFile();
        const auto name = find.GetFileName();
        const unsigned i = name.back() - '0';
        EXPECT_TRUE(Download(*connection, name) == MakeContent(20000 + i, i)) << name;
        EXPECT_TRUE(connection->Remove(name)) << name;
    }
    EXPECT_EQ(seen, 3);
    EXPECT_TRUE(List(*connection, "entry*").empty());
}

class RealServer : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        server_ = StartServer(GetParam());
        START_OR_SKIP(server_);
    }

    std::unique_ptr<FtpServer> server_;
};

TEST_P(RealServer, ChangesCreatesRemovesAndRenamesDirectoriesAndFiles) {
    server_->PutDirectory("outer/inner");
    auto connection = Connect(*server_, false);
    std::string home;
    ASSERT_TRUE(connection->GetCurrentDirectory(home));
    EXPECT_TRUE(home == "/" || home == server_->Root().string()) << home;
    const std::string base = home == "/" ? "" : home;
    const std::pair<std::string, std::string> steps[] = {{"outer", "/outer"},
                                                         {"inner", "/outer/inner"},
                                                         {"..", "/outer"},
                                                         {base + "/outer/inner", "/outer/inner"}};
    std::string here;
    for (const auto& [argument, expected] : steps) {
        ASSERT_TRUE(connection->SetCurrentDirectory(argument)) << argument;
        ASSERT_TRUE(connection->GetCurrentDirectory(here));
        EXPECT_EQ(here, base + expected) << argument;
    }
    EXPECT_FALSE(connection->SetCurrentDirectory("no-such-directory"));
    ASSERT_TRUE(connection->GetCurrentDirectory(here));
    EXPECT_EQ(here, base + "/outer/inner") << "a refused change moved the connection";

    ASSERT_TRUE(connection->SetCurrentDirectory(home));
    EXPECT_TRUE(connection->CreateDirectory("made"));
    EXPECT_FALSE(connection->CreateDirectory("made")) << "a second MKD of the same name succeeded";
    EXPECT_TRUE(std::filesystem::is_directory(server_->Root() / "made"));
    EXPECT_TRUE(connection->RemoveDirectory("made"));

    Upload(*connection, "first.txt", "content");
    EXPECT_TRUE(connection->Rename("first.txt", "second.txt"));
    EXPECT_EQ(server_->ReadFile("second.txt"), "content");
    EXPECT_FALSE(connection->Rename("missing.txt", "other.txt"));
    EXPECT_TRUE(connection->Remove("second.txt"));
    EXPECT_FALSE(connection->Remove("second.txt"));
    EXPECT_FALSE(server_->ReadFile("second.txt"));
    EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the refusals put the replies out of step";
}

// Each server lists in its own format, hidden entries included (vsftpd shows
// them only when asked); the data connection is the transfers' own.
TEST_P(RealServer, ListsEntriesWithSizesTimesAndKinds) {
    server_->PutFile(".hidden", "h");
    server_->PutDirectory(".git");
    server_->PutFile("alpha.txt", MakeContent(1234));
    server_->PutFile("alphabet.txt", "x");
    server_->PutFile("alpha.txt.1", "y"); // starts with "alpha.txt", yet is another entry
    server_->PutFile("with blank.txt", "yy");
    server_->PutDirectory("beta");
    auto connection = Connect(*server_, false);
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    std::map<std::string, Listed> listed;
    std::size_t dots = 0;
    for (const auto& entry : List(*connection)) {
        if (entry.dots) {
            ++dots;
            continue;
        }
        EXPECT_EQ(entry.directory, entry.name == "beta" || entry.name == ".git") << entry.name;
        EXPECT_LT(std::abs(entry.modified - now), 3 * 86400) << entry.name;
        listed[entry.name] = entry;
    }
    using ::testing::Key;
    ASSERT_THAT(listed, ElementsAre(Key(".git"), Key(".hidden"), Key("alpha.txt"), Key("alpha.txt.1"),
                                    Key("alphabet.txt"), Key("beta"), Key("with blank.txt")));
    // vsftpd's "LIST -a" adds "." and "..": dots, not entries; pyftpdlib's MLSD has neither.
    EXPECT_EQ(dots, GetParam() == Kind::Vsftpd ? 2u : 0u);
    EXPECT_EQ(listed["alpha.txt"].size, 1234u);
    EXPECT_THAT(Names(List(*connection, "alpha*")), ElementsAre("alpha.txt", "alpha.txt.1", "alphabet.txt"));
    EXPECT_THAT(Names(List(*connection, "alpha.txt")), ElementsAre("alpha.txt"));
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer, ::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd),
                         [](const auto& info) { return test::ServerKindName(info.param); });

class RealServerTransfer : public ::testing::TestWithParam<std::tuple<Kind, bool>> {
protected:
    void SetUp() override {
        server_ = StartServer(std::get<0>(GetParam()));
        START_OR_SKIP(server_);
    }
    bool Passive() const { return std::get<1>(GetParam()); }

    std::unique_ptr<FtpServer> server_;
};

TEST_P(RealServerTransfer, UploadsAndDownloadsByteForByte) {
    // An upload replaces a longer file of the same name, not only its start.
    server_->PutFile("file-1.bin", MakeContent(50000, 7));
    auto connection = Connect(*server_, Passive());
    // Refused files first: the transfers below show the replies stayed in step.
    ExpectFtpError(error::kErrorReply, [&] { connection->OpenFile("missing.bin", FtpFile::Access::Read); });
    ExpectFtpError(error::kErrorReply, [&] { connection->OpenFile("no-dir/x.bin", FtpFile::Access::Write); });
    for (const std::size_t size : {0u, 1u, 16384u, 32768u, 1000003u}) {
        SCOPED_TRACE(size);
        const auto content = MakeContent(size, static_cast<unsigned>(size));
        const auto name = "file-" + std::to_string(size) + ".bin";
        Upload(*connection, name, content);
        EXPECT_TRUE(server_->ReadFile(name) == content) << "stored copy differs";
        EXPECT_TRUE(Download(*connection, name) == content) << "downloaded copy differs";
    }
    // Active mode worked against a real server: neither the refusals nor anything
    // else made the connection fall back.
    EXPECT_EQ(connection->UsesPassive(), Passive());
}

TEST_P(RealServerTransfer, AbandonedDownloadLeavesTheConnectionUsable) {
    server_->PutFile("big.bin", MakeContent(3000000, 3));
    server_->PutFile("small.bin", "small");
    auto connection = Connect(*server_, Passive());
    {
        auto file = connection->OpenFile("big.bin", FtpFile::Access::Read);
        char buffer[kBlock];
        EXPECT_EQ(file->Read(buffer, sizeof buffer), sizeof buffer);
        file->Close();
    }
    EXPECT_EQ(Download(*connection, "small.bin"), "small");
    {
        // Dropping the file without Close abandons it too.
        auto file = connection->OpenFile("big.bin", FtpFile::Access::Read);
    }
    EXPECT_EQ(Download(*connection, "small.bin"), "small");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServerTransfer,
                         ::testing::Combine(::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return test::ServerKindName(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "_passive"s : "_active"s);
                         });

class Ipv6Server : public ::testing::TestWithParam<Kind> {};

TEST_P(Ipv6Server, TransfersOverIpv6LoopbackInBothModes) {
    if (!test::Ipv6LoopbackAvailable()) {
        GTEST_SKIP() << "::1 is not available on this machine; IPv6 cannot be tested here";
    }
    auto server = StartServer(GetParam(), true);
    START_OR_SKIP(server);
    const auto content = MakeContent(100000, 6);
    FtpSession session(std::chrono::seconds(10));
    const auto& address = server->Address();
    for (const bool passive : {false, true}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        // The bracketed form of an address is accepted too.
        auto connection = session.GetFtpConnection(passive ? "[::1]" : address.host, address.user,
                                                   address.password, address.port, passive);
        Upload(*connection, "six.bin", content);
        EXPECT_TRUE(Download(*connection, "six.bin") == content);
        EXPECT_EQ(connection->UsesPassive(), passive);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, Ipv6Server, ::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd),
                         [](const auto& info) { return test::ServerKindName(info.param); });

TEST(FtpEngineThreads, ConnectionsOnSeparateThreadsWorkAtOnce) {
    constexpr int kThreads = 4;
    // One server each: pyftpdlib's single event loop loses track of a data
    // connection now and then when several arrive at once.
    std::vector<std::unique_ptr<test::PyftpdlibServer>> servers;
    for (int t = 0; t < kThreads; ++t) {
        servers.push_back(std::make_unique<test::PyftpdlibServer>());
        ASSERT_TRUE(servers.back()->Ready()) << servers.back()->Failure();
    }
    // A failure in a thread comes back through its future, thrown.
    std::vector<std::future<bool>> done;
    for (int t = 0; t < kThreads; ++t) {
        done.push_back(std::async(std::launch::async, [&, t] {
            auto connection = Connect(*servers[t], t % 2 == 0);
            const auto content = MakeContent(300000 + t, t);
            Upload(*connection, "thread.bin", content);
            return Download(*connection, "thread.bin") == content && connection->Remove("thread.bin");
        }));
    }
    for (auto& result : done) {
        EXPECT_TRUE(result.get()) << "content or removal differs";
    }
}

} // namespace
} // namespace tidewell::ftp

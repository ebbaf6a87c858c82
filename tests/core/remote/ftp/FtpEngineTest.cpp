#include "core/remote/ftp/EngineTestSupport.h"

#include "core/remote/ftp/FtpException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <thread>

namespace tidewell::ftp {
namespace {

using namespace support;
using test::FtpServer;
using ::testing::ElementsAre;

using Kind = test::ServerKind;
using test::StartServer;

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
    return test::ServerKindName(info.param);
}

// vsftpd cannot run without root on some machines; that is said, not hidden.
#define START_OR_SKIP(server)                                                                                \
    if (!(server)->Ready()) {                                                                                \
        if ((server)->Failure().find("needs root") != std::string::npos)                                     \
            GTEST_SKIP() << (server)->Failure();                                                             \
        FAIL() << (server)->Failure();                                                                       \
    }

// Expects `call` to throw FtpException with `code`.
template <typename Call> void ExpectFtpError(std::uint32_t code, Call&& call) {
    try {
        call();
        ADD_FAILURE() << "no FtpException; expected " << code;
    } catch (const FtpException& failure) {
        EXPECT_EQ(failure.ErrorCode(), code) << failure.what();
    }
}

class RealServer : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        server_ = StartServer(GetParam());
        START_OR_SKIP(server_);
    }

    std::unique_ptr<FtpServer> server_;
};

TEST_P(RealServer, LoginFailuresCarryTheirCodes) {
    const auto& address = server_->Address();
    FtpSession session(std::chrono::seconds(10));
    try {
        session.GetFtpConnection(address.host, address.user, "wrong-password", address.port, false);
        ADD_FAILURE() << "login with a wrong password succeeded";
    } catch (const FtpException& failure) {
        EXPECT_EQ(failure.ErrorCode(), error::kLoginRefused);
        EXPECT_EQ(failure.ServerReply().substr(0, 3), "530") << "the server's text travels with the error";
    }
    ExpectFtpError(error::kLoginRefused,
                   [&] { session.GetFtpConnection(address.host, "nobody-here", "x", address.port, false); });
    ExpectFtpError(error::kHostNotResolved,
                   [&] { session.GetFtpConnection("nonexistent.invalid", "u", "p", address.port, false); });
    // A server that has just stopped leaves a port where nothing listens.
    std::uint16_t closedPort = 0;
    {
        test::PyftpdlibServer gone;
        ASSERT_TRUE(gone.Ready()) << gone.Failure();
        closedPort = gone.Address().port;
    }
    ExpectFtpError(error::kCannotConnect,
                   [&] { session.GetFtpConnection("127.0.0.1", "u", "p", closedPort, false); });
}

TEST_P(RealServer, ReportsTheLoginDirectoryAndChangesAbsoluteRelativeAndUp) {
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
    EXPECT_FALSE(connection->SetCurrentDirectory(""));
    ASSERT_TRUE(connection->GetCurrentDirectory(here));
    EXPECT_EQ(here, base + "/outer/inner") << "a refused change moved the connection";
}

TEST_P(RealServer, CreatesRemovesAndRenamesEntries) {
    auto connection = Connect(*server_, false);
    EXPECT_TRUE(connection->CreateDirectory("made"));
    EXPECT_FALSE(connection->CreateDirectory("made")) << "a second MKD of the same name succeeded";
    EXPECT_TRUE(std::filesystem::is_directory(server_->Root() / "made"));
    EXPECT_TRUE(connection->RemoveDirectory("made"));
    EXPECT_FALSE(connection->RemoveDirectory("made"));

    Upload(*connection, "first.txt", "content");
    EXPECT_TRUE(connection->Rename("first.txt", "second.txt"));
    EXPECT_EQ(server_->ReadFile("second.txt"), "content");
    EXPECT_FALSE(server_->ReadFile("first.txt"));
    EXPECT_FALSE(connection->Rename("missing.txt", "other.txt"));
    EXPECT_TRUE(connection->Remove("second.txt"));
    EXPECT_FALSE(connection->Remove("second.txt"));
    EXPECT_FALSE(server_->ReadFile("second.txt"));

    // The connection is still in step after the refusals.
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

TEST_P(RealServer, RefusesNamesThatWouldInjectCommands) {
    server_->PutFile("victim.txt", "keep me");
    auto connection = Connect(*server_, false);
    EXPECT_FALSE(connection->Remove("x\r\nDELE victim.txt"));
    EXPECT_FALSE(connection->Remove(std::string("victim.txt\0", 11)));
    EXPECT_FALSE(connection->CreateDirectory("a\nb"));
    EXPECT_FALSE(connection->RemoveDirectory("a\rb"));
    EXPECT_FALSE(connection->SetCurrentDirectory("/\r\nDELE victim.txt"));
    EXPECT_FALSE(connection->Rename("victim.txt", "moved\r\n"));
    ExpectFtpError(error::kErrorReply,
                   [&] { connection->OpenFile("victim.txt\r\nDELE victim.txt", FtpFile::Access::Read); });
    FtpFileFind find(*connection);
    EXPECT_FALSE(find.FindFile("victim\n*"));
    EXPECT_EQ(server_->ReadFile("victim.txt"), "keep me");
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

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
    for (const std::size_t size : {0u, 1u, 16384u, 32768u, 1000003u}) {
        SCOPED_TRACE(size);
        const auto content = MakeContent(size, static_cast<unsigned>(size));
        const auto name = "file-" + std::to_string(size) + ".bin";
        Upload(*connection, name, content);
        const auto stored = server_->ReadFile(name);
        ASSERT_TRUE(stored);
        EXPECT_TRUE(*stored == content) << "stored copy differs";
        EXPECT_TRUE(Download(*connection, name) == content) << "downloaded copy differs";
    }
    // Active mode worked against a real server; no fallback was needed.
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
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
    EXPECT_EQ(Download(*connection, "small.bin"), "small");
    {
        // Dropping the file without Close abandons it too.
        auto file = connection->OpenFile("big.bin", FtpFile::Access::Read);
    }
    EXPECT_EQ(Download(*connection, "small.bin"), "small");
}

TEST_P(RealServerTransfer, OpenOfAMissingFileThrowsAndKeepsTheMode) {
    auto connection = Connect(*server_, Passive());
    ExpectFtpError(error::kErrorReply, [&] { connection->OpenFile("missing.bin", FtpFile::Access::Read); });
    EXPECT_EQ(connection->UsesPassive(), Passive()) << "a refused file is no reason to change the mode";
    ExpectFtpError(error::kErrorReply, [&] { connection->OpenFile("no-dir/x.bin", FtpFile::Access::Write); });
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

TEST_P(RealServerTransfer, ListsEntriesWithSizesTimesAndKinds) {
    server_->PutFile("alpha.txt", MakeContent(1234));
    server_->PutFile("alphabet.txt", "x");
    server_->PutFile("alpha.txt.1", "y"); // starts with "alpha.txt", yet is another entry
    server_->PutFile("with blank.txt", "yy");
    server_->PutDirectory("beta");
    auto connection = Connect(*server_, Passive());
    const auto entries = List(*connection);
    std::vector<Listed> real;
    for (const auto& entry : entries) {
        if (!entry.dots) {
            real.push_back(entry);
        }
    }
    ASSERT_THAT(Names(real),
                ElementsAre("alpha.txt", "alpha.txt.1", "alphabet.txt", "beta", "with blank.txt"));
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    for (const auto& entry : real) {
        EXPECT_EQ(entry.directory, entry.name == "beta") << entry.name;
        EXPECT_LT(std::abs(entry.modified - now), 3 * 86400) << entry.name;
    }
    std::map<std::string, std::uint64_t> sizes;
    for (const auto& entry : real) {
        sizes[entry.name] = entry.size;
    }
    EXPECT_EQ(sizes["alpha.txt"], 1234u);
    EXPECT_EQ(sizes["with blank.txt"], 2u);
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.dots, entry.name == "." || entry.name == "..");
    }

    EXPECT_THAT(Names(List(*connection, "alpha*")), ElementsAre("alpha.txt", "alpha.txt.1", "alphabet.txt"));
    EXPECT_THAT(Names(List(*connection, "alpha.txt")), ElementsAre("alpha.txt"));
    EXPECT_TRUE(List(*connection, "gamma*").empty());
}

TEST_P(RealServerTransfer, RemoveAndOpenFileServeDuringAnOpenSearch) {
    for (int i = 0; i < 5; ++i) {
        server_->PutFile("entry" + std::to_string(i) + ".bin", MakeContent(20000 + i, i));
    }
    auto connection = Connect(*server_, Passive());
    FtpFileFind find(*connection);
    std::vector<std::string> seen;
    for (bool more = find.FindFile(); more;) {
        more = find.FindNextFile();
        if (find.IsDots() || find.IsDirectory()) {
            continue;
        }
        const auto name = find.GetFileName();
        const auto expected = MakeContent(20000 + (name[5] - '0'), name[5] - '0');
        EXPECT_TRUE(Download(*connection, name) == expected) << name;
        EXPECT_EQ(find.GetLength(), expected.size());
        EXPECT_TRUE(connection->Remove(name)) << name;
        seen.push_back(name);
    }
    find.Close();
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_TRUE(List(*connection).empty() ||
                Names(List(*connection)) == std::vector<std::string>({".", ".."}));
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer, ::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd), KindName);
INSTANTIATE_TEST_SUITE_P(Servers, RealServerTransfer,
                         ::testing::Combine(::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Kind::Pyftpdlib ? "pyftpdlib"
                                                                                           : "vsftpd") +
                                    (std::get<1>(info.param) ? "_passive" : "_active");
                         });

class Ipv6Server : public ::testing::TestWithParam<Kind> {};

TEST_P(Ipv6Server, TransfersOverIpv6LoopbackInBothModes) {
    if (!test::Ipv6LoopbackAvailable()) {
        GTEST_SKIP() << "::1 is not available on this machine; IPv6 cannot be tested here";
    }
    auto server = StartServer(GetParam(), true);
    START_OR_SKIP(server);
    const auto content = MakeContent(100000, 6);
    for (const bool passive : {false, true}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        auto connection = Connect(*server, passive);
        Upload(*connection, "six.bin", content);
        EXPECT_TRUE(Download(*connection, "six.bin") == content);
        EXPECT_THAT(Names(List(*connection)), ::testing::Contains("six.bin"));
        EXPECT_EQ(connection->UsesPassive(), passive);
    }
    // The bracketed form of an address is accepted too.
    FtpSession session(std::chrono::seconds(10));
    const auto& address = server->Address();
    auto connection = session.GetFtpConnection("[::1]", address.user, address.password, address.port, false);
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

INSTANTIATE_TEST_SUITE_P(Servers, Ipv6Server, ::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd), KindName);

TEST(FtpEngineThreads, ConnectionsOnSeparateThreadsWorkAtOnce) {
    constexpr int kThreads = 4;
    // One server each: pyftpdlib's single event loop loses track of a data
    // connection now and then when several arrive at once.
    std::vector<std::unique_ptr<test::PyftpdlibServer>> servers;
    for (int t = 0; t < kThreads; ++t) {
        servers.push_back(std::make_unique<test::PyftpdlibServer>());
        ASSERT_TRUE(servers.back()->Ready()) << servers.back()->Failure();
    }
    std::vector<std::string> failures(kThreads, "did not finish");
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                try {
                    auto connection = Connect(*servers[t], t % 2 == 0);
                    const auto content = MakeContent(300000 + t, t);
                    Upload(*connection, "thread.bin", content);
                    const bool good =
                        Download(*connection, "thread.bin") == content && connection->Remove("thread.bin");
                    failures[t] = good ? "" : "content or removal differs";
                } catch (const std::exception& failure) {
                    failures[t] = failure.what();
                }
            });
        }
    }
    for (const auto& failure : failures) {
        EXPECT_EQ(failure, "");
    }
}

} // namespace
} // namespace tidewell::ftp

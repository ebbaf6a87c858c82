#include "core/remote/ftp/EngineTestSupport.h"
#include "core/remote/ftp/FtpFileSystem.h"
#include "core/transfer/FileDigest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
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
    }
    EXPECT_EQ(server.ReadFile("victim.txt"), "keep me");
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

// The server's digest of a whole file and ours of the same bytes agree, by
// the strongest algorithm offered; a server with no hash command gives none.
TEST(FtpEngineHash, ServerAndLocalDigestsAgree) {
    const auto content = MakeContent(300001, 5);
    test::TempDir local;
    const auto path = local.Path() / "copy.bin";
    std::ofstream(path, std::ios::binary) << content;

    test::PyftpdlibServer hashing("hash");
    ASSERT_TRUE(hashing.Ready()) << hashing.Failure();
    hashing.PutFile("file.bin", content);
    FtpFileSystem offered(Connect(hashing, true));
    const auto remote = offered.Hash("file.bin");
    ASSERT_TRUE(remote) << offered.LastReply();
    EXPECT_EQ(remote->algorithm, HashAlgorithm::Sha256);
    EXPECT_EQ(remote->hex, FileDigest::OfFile(path, HashAlgorithm::Sha256));
    EXPECT_EQ(offered.Hash("missing.bin"), std::nullopt);

    test::PyftpdlibServer plain;
    ASSERT_TRUE(plain.Ready()) << plain.Failure();
    plain.PutFile("file.bin", content);
    FtpFileSystem none(Connect(plain, true));
    EXPECT_EQ(none.Hash("file.bin"), std::nullopt);

    FileDigest crc(HashAlgorithm::Crc32);
    crc.Add("123456789");
    EXPECT_EQ(crc.Hex(), "cbf43926");
}

class RealServer : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        server_ = StartServer(GetParam());
        START_OR_SKIP(server_);
    }

    std::unique_ptr<FtpServer> server_;
};

// Each server lists in its own format, hidden entries included (vsftpd shows
// them only when asked); the data connection is the transfers' own.
TEST_P(RealServer, ListsEntriesWithSizesTimesAndKinds) {
    server_->PutFile(".hidden", "h");
    server_->PutDirectory(".git");
    server_->PutFile("alpha.txt", MakeContent(1234));
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
    ASSERT_THAT(listed, ElementsAre(Key(".git"), Key(".hidden"), Key("alpha.txt"), Key("beta"),
                                    Key("with blank.txt")));
    // vsftpd's "LIST -a" adds "." and "..": dots, not entries; pyftpdlib's MLSD has neither.
    EXPECT_EQ(dots, GetParam() == Kind::Vsftpd ? 2u : 0u);
    EXPECT_EQ(listed["alpha.txt"].size, 1234u);
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

} // namespace
} // namespace tidewell::ftp

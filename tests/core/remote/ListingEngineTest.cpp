#include "core/remote/ListingEngine.h"

#include "fixtures/FtpServers.h"
#include "core/remote/ftp/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tidewell {
namespace {

using test::FtpServer;

std::vector<std::string> Names(const ListingResult& result) {
    std::vector<std::string> names;
    for (const auto& row : result.rows) {
        names.push_back(row.name);
    }
    return names;
}

class ListingAgainst : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        server_ = test::StartServer(GetParam() ? test::ServerKind::Vsftpd : test::ServerKind::Pyftpdlib);
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
    }

    std::unique_ptr<FtpServer> server_;
};

// Order, counters and sizes are checked through the window; here the tags
// must lead to the right file's name, size text and type.
TEST_P(ListingAgainst, FileTagsLeadToTheirFilesDetails) {
    server_->PutDirectory("alpha");
    server_->PutFile("readme.TXT", std::string(1500, 'r'));
    server_->PutFile("data.xyz", "12345");
    auto connection = ftp::support::Connect(*server_, false);
    const ListingResult result = ReadRemoteDirectory(connection.get());
    ASSERT_TRUE(result.connected);
    ASSERT_EQ(Names(result), (std::vector<std::string>{"..", "alpha", "data.xyz", "readme.TXT"}));
    EXPECT_EQ(result.rows[1].tag, kDirectoryTag);
    for (const std::size_t row : {2u, 3u}) {
        const auto index = TagToFileIndex(result.rows[row].tag);
        ASSERT_LT(index, result.files.Size());
        EXPECT_EQ(result.files.remoteNames[index], result.rows[row].name);
    }
    const auto index = TagToFileIndex(result.rows[2].tag);
    EXPECT_EQ(result.files.remoteSizeTexts[index], "5");
    EXPECT_EQ(result.files.remoteTypes[index], "XYZ File");
    EXPECT_GT(result.files.remoteTimes[index], 1600000000); // a real time, not zero
}

INSTANTIATE_TEST_SUITE_P(Servers, ListingAgainst, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "vsftpd" : "pyftpdlib"; });

TEST(Listing, NoConnectionGivesNoRows) {
    const ListingResult result = ReadRemoteDirectory(nullptr);
    EXPECT_FALSE(result.connected);
    EXPECT_TRUE(result.rows.empty());
}

TEST(Listing, ThousandsOfFilesAndTotalsPastFourGiB) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    for (int i = 0; i < 6000; ++i) {
        server.PutFile("f" + std::to_string(i) + ".txt", "");
    }
    // Sparse files: large sizes without the disk space.
    for (const char* name : {"big1.iso", "big2.iso"}) {
        server.PutFile(name, "");
        std::filesystem::resize_file(server.Root() / name, 3ull << 30);
    }
    auto connection = ftp::support::Connect(server, false);
    const ListingResult result = ReadRemoteDirectory(connection.get());
    EXPECT_EQ(result.fileCount, 6002);
    EXPECT_EQ(result.totalSize, 6ll << 30);
    std::set<std::uint32_t> tags;
    for (const auto& row : result.rows) {
        if (row.name != "..") {
            EXPECT_NE(row.tag, kDirectoryTag) << row.name;
            tags.insert(row.tag);
        }
    }
    EXPECT_EQ(tags.size(), 6002u);
}

} // namespace
} // namespace tidewell

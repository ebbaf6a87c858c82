#include "remote/ListingEngine.h"

#include "fixtures/FtpServers.h"
#include "remote/ftp/EngineTestSupport.h"

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
        if (GetParam()) {
            server_ = std::make_unique<test::VsftpdServer>();
        } else {
            server_ = std::make_unique<test::PyftpdlibServer>();
        }
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
    }

    std::unique_ptr<FtpServer> server_;
};

TEST_P(ListingAgainst, RowsCountersAndTags) {
    server_->PutDirectory("Beta");
    server_->PutDirectory("alpha");
    server_->PutFile("readme.TXT", std::string(1500, 'r'));
    server_->PutFile("data.xyz", "12345");
    server_->PutFile("Zed", "");
    auto connection = ftp::support::Connect(*server_, false);
    const ListingResult result = ReadRemoteDirectory(connection.get());

    ASSERT_TRUE(result.connected);
    EXPECT_EQ(Names(result),
              (std::vector<std::string>{"..", "alpha", "Beta", "data.xyz", "readme.TXT", "Zed"}));
    EXPECT_EQ(result.dirCount, 2);
    EXPECT_EQ(result.fileCount, 3);
    EXPECT_EQ(result.totalSize, 1505);
    for (const auto& row : result.rows) {
        const bool directory = row.name == ".." || row.name == "alpha" || row.name == "Beta";
        EXPECT_EQ(row.tag == kDirectoryTag, directory) << row.name;
        if (!directory) {
            const auto index = TagToFileIndex(row.tag);
            ASSERT_LT(index, result.files.Size());
            EXPECT_EQ(result.files.remoteNames[index], row.name);
        }
    }
    const auto index = TagToFileIndex(result.rows[3].tag);
    EXPECT_EQ(result.files.remoteSizeTexts[index], "5");
    EXPECT_EQ(result.files.remoteTypes[index], "XYZ File");
    EXPECT_GT(result.files.remoteTimes[index], 1600000000); // a real time, not zero
}

TEST_P(ListingAgainst, EmptyDirectoryGivesOnlyTheParentRow) {
    auto connection = ftp::support::Connect(*server_, true);
    const ListingResult result = ReadRemoteDirectory(connection.get());
    EXPECT_EQ(Names(result), std::vector<std::string>{".."});
    EXPECT_EQ(result.fileCount, 0);
    EXPECT_EQ(result.dirCount, 0);
    EXPECT_EQ(result.totalSize, 0);
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

TEST(Listing, ChosenColumnSortsAfterTheNameOrder) {
    RemoteListing files;
    std::vector<ListingRow> rows = {
        {"b", files.AddFile("b", 0, 30, "T"), {}, {}},
        {"dir2", kDirectoryTag, {}, {}},
        {"a", files.AddFile("a", 0, 20, "T"), {}, {}},
        {"dir1", kDirectoryTag, {}, {}},
    };
    SortOrder order;
    order.Click(kSizeColumn);
    order.Click(kSizeColumn);
    SortRows(rows, files, order);
    std::vector<std::string> names;
    for (const auto& r : rows) {
        names.push_back(r.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"dir2", "dir1", "b", "a"}));
}

} // namespace
} // namespace tidewell

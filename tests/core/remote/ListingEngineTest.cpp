#include "core/remote/ListingEngine.h"

#include "core/remote/ftp/EngineTestSupport.h"
#include "core/remote/ftp/FtpFileSystem.h"
#include "fixtures/FtpServers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tidewell {
namespace {

// Order, counters and texts are checked through the window; here every file
// row's tag must lead to its own file, however many there are, and totals
// must hold past 32 bits.
TEST(Listing, TagsLeadToTheirFilesAmongThousandsAndTotalsPassFourGiB) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutDirectory("alpha");
    server.PutFile("data.xyz", "12345");
    for (int i = 0; i < 6000; ++i) {
        server.PutFile("f" + std::to_string(i) + ".txt", "");
    }
    // Sparse files: large sizes without the disk space.
    for (const char* name : {"big1.iso", "big2.iso"}) {
        server.PutFile(name, "");
        std::filesystem::resize_file(server.Root() / name, 3ull << 30);
    }
    ftp::FtpFileSystem remote(ftp::support::Connect(server, false));
    const ListingResult result = ReadRemoteDirectory(remote);
    EXPECT_EQ(result.fileCount, 6003);
    EXPECT_EQ(result.dirCount, 1);
    EXPECT_EQ(result.totalSize, (6ll << 30) + 5);
    for (const auto& row : result.rows) {
        if (row.name == ".." || row.name == "alpha") {
            EXPECT_EQ(row.tag, kDirectoryTag) << row.name;
            continue;
        }
        ASSERT_NE(row.tag, kDirectoryTag) << row.name;
        EXPECT_EQ(result.files.File(row.tag).name, row.name);
    }
    EXPECT_EQ(result.rows.size(), 6005u); // with ".." and alpha
    const auto data = std::find_if(result.rows.begin(), result.rows.end(),
                                   [](const ListingRow& row) { return row.name == "data.xyz"; });
    ASSERT_NE(data, result.rows.end());
    const RemoteFile& file = result.files.File(data->tag);
    EXPECT_EQ(file.size, 5);
    EXPECT_EQ(file.type, "XYZ File");
    EXPECT_GT(file.time, 1600000000); // a real time, not zero
}

} // namespace
} // namespace tidewell

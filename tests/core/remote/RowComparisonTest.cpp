#include "core/remote/RowComparison.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tidewell {
namespace {

class Sorting : public ::testing::Test {
protected:
    struct Row {
        std::string name;
        std::uint32_t tag;
    };

    void AddDir(const std::string& name) { rows_.push_back({name, kDirectoryTag}); }
    void AddFile(const std::string& name, std::int64_t size, std::int64_t time, const std::string& type) {
        rows_.push_back({name, listing_.AddFile({name, time, size, type})});
    }

    std::vector<std::string> Sorted() {
        std::stable_sort(rows_.begin(), rows_.end(), [this](const Row& a, const Row& b) {
            return RowGoesBefore(a.tag, b.tag, listing_, order_);
        });
        std::vector<std::string> names;
        for (const auto& r : rows_) {
            names.push_back(r.name);
        }
        return names;
    }

    RemoteListing listing_;
    SortOrder order_;
    std::vector<Row> rows_;
};

TEST_F(Sorting, SizeClickedThreeTimesKeepsDirectoriesFirst) {
    AddFile("b.txt", 300, 0, "Text");
    AddDir("zeta");
    AddFile("a.txt", 10, 0, "Text");
    AddDir("..");
    AddFile("c.bin", 20000000000, 0, "Binary"); // above 4 GiB
    order_.Click(kSizeColumn);
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"zeta", "..", "a.txt", "b.txt", "c.bin"}));
    order_.Click(kSizeColumn);
    EXPECT_TRUE(order_.sortDescending);
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"zeta", "..", "c.bin", "b.txt", "a.txt"}));
    order_.Click(kSizeColumn);
    EXPECT_FALSE(order_.sortDescending);
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"zeta", "..", "a.txt", "b.txt", "c.bin"}));
}

TEST_F(Sorting, NewColumnStartsAscending) {
    order_.Click(kFileColumn);
    order_.Click(kFileColumn);
    EXPECT_TRUE(order_.sortDescending);
    order_.Click(kSizeColumn);
    EXPECT_EQ(order_.sortColumn, kSizeColumn);
    EXPECT_FALSE(order_.sortDescending);
}

TEST_F(Sorting, NameIgnoresCaseTypeDoesNot) {
    AddFile("readme", 1, 0, "text");
    AddFile("README", 2, 0, "Text");
    order_.Click(kFileColumn);
    EXPECT_EQ(CompareRows(rows_[0].tag, rows_[1].tag, listing_, order_), 0);
    order_.Click(kTypeColumn);
    EXPECT_GT(CompareRows(rows_[0].tag, rows_[1].tag, listing_, order_), 0); // "Text" < "text"
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"README", "readme"}));
}

TEST_F(Sorting, DateDescendingShowsNewestFirstAfterTheDirectories) {
    AddFile("old", 1, 1000, "T");
    AddFile("new", 1, 3000, "T");
    AddDir("sub"); // unsorted input: a directory after files
    AddFile("mid", 1, 2000, "T");
    order_.Click(kDateColumn);
    order_.Click(kDateColumn);
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"sub", "new", "mid", "old"}));
}

TEST_F(Sorting, NoClickKeepsInsertionOrder) {
    AddFile("b", 2, 0, "T");
    AddDir("d");
    AddFile("a", 1, 0, "T");
    EXPECT_EQ(CompareRows(rows_[0].tag, rows_[1].tag, listing_, order_), 0);
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"b", "d", "a"}));
}

TEST(RowTags, FileIndexesNeverCollideWithTheDirectoryTag) {
    RemoteListing listing;
    for (int i = 0; i < 100000; ++i) {
        const auto tag = listing.AddFile({"f", 0, 0, "T"});
        ASSERT_NE(tag, kDirectoryTag);
        ASSERT_EQ(TagToFileIndex(tag), static_cast<std::size_t>(i));
    }
    EXPECT_EQ(FileIndexToTag(4999), 4999u);
    EXPECT_EQ(FileIndexToTag(5000), 5001u);
    EXPECT_EQ(listing.Size(), 100000u);
}

} // namespace
} // namespace tidewell

// Row order and header-click alternation; BrowseWindowTest checks that a header click reaches them.
#include "core/remote/RowComparison.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tidewell {
namespace {

struct Row {
    std::string name;
    std::int64_t size, time;
    std::string type; // empty: a directory
};

// Sorts the rows, in the order given, as the list does after the clicks.
std::vector<std::string> Sorted(const std::vector<Row>& rows, const std::vector<int>& clicks) {
    RemoteListing listing;
    std::vector<std::pair<std::string, std::uint32_t>> tagged;
    for (const Row& r : rows) {
        tagged.emplace_back(r.name, r.type.empty() ? kDirectoryTag
                                                   : listing.AddFile({r.name, r.time, r.size, r.type}));
    }
    SortOrder order;
    for (const int column : clicks) {
        order.Click(column);
    }
    std::ranges::stable_sort(tagged, [&](const auto& a, const auto& b) {
        return RowGoesBefore(a.second, b.second, listing, order);
    });
    std::vector<std::string> names;
    for (const auto& [name, tag] : tagged) {
        names.push_back(name);
    }
    return names;
}

// Unsorted rows, directories among the files, as a relisting gives them; C.bin's size is past 32 bits.
TEST(Sorting, DirectoriesComeFirstInBothDirectionsAndEachColumnHasItsOrder) {
    const std::vector<Row> rows = {{"b.txt", 300, 3000, "text"},
                                   {"zeta", 0, 0, ""},
                                   {"C.bin", 20000000000, 1000, "Text"},
                                   {"..", 0, 0, ""},
                                   {"a.txt", 10, 2000, "text"}};
    using Names = std::vector<std::string>;
    const std::pair<std::vector<int>, Names> cases[] = {
        {{}, {"b.txt", "zeta", "C.bin", "..", "a.txt"}}, // no click keeps the order given
        {{kSizeColumn, kSizeColumn}, {"zeta", "..", "C.bin", "b.txt", "a.txt"}},
        {{kSizeColumn, kSizeColumn, kSizeColumn}, {"zeta", "..", "a.txt", "b.txt", "C.bin"}}, // a third click
        {{kFileColumn, kFileColumn, kSizeColumn}, {"zeta", "..", "a.txt", "b.txt", "C.bin"}}, // a new column
        {{kFileColumn}, {"zeta", "..", "a.txt", "b.txt", "C.bin"}}, // names ignore case
        {{kTypeColumn}, {"zeta", "..", "C.bin", "b.txt", "a.txt"}}, // types do not: "Text" < "text"
    };
    for (const auto& [clicks, sorted] : cases) {
        EXPECT_EQ(Sorted(rows, clicks), sorted) << ::testing::PrintToString(clicks);
    }
}

TEST(RowTags, FileIndexesNeverCollideWithTheDirectoryTag) {
    RemoteListing listing;
    for (int i = 0; i < 100000; ++i) {
        const auto tag = listing.AddFile({"f", 0, 0, "T"});
        ASSERT_NE(tag, kDirectoryTag);
        ASSERT_EQ(TagToFileIndex(tag), static_cast<std::size_t>(i));
    }
}

} // namespace
} // namespace tidewell

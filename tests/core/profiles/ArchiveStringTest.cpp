#include "core/profiles/ArchiveString.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(ArchiveString, PrefixFormsAtTheirBoundariesRoundTrip) {
    const struct {
        std::size_t length;
        std::string prefix;
    } cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, std::string("\xFF\xFD\xFF", 3)},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'a');
        ArchiveWriter writer;
        writer.WriteString(text);
        EXPECT_EQ(writer.Bytes(), c.prefix + text);
        ArchiveReader reader(writer.Bytes());
        EXPECT_EQ(reader.ReadString(), text);
        EXPECT_TRUE(reader.AtEnd());
    }
}

// Other writers may use a longer prefix than needed; data cut short fails
// without moving the reader or allocating what the prefix claims.
TEST(ArchiveString, ReaderTakesEveryPrefixFormAndRefusesCutShortData) {
    const struct {
        std::string bytes;
        std::optional<std::string> text;
    } cases[] = {
        {std::string("\xFF\x02\x00hi", 5), "hi"},
        {std::string("\xFF\xFF\xFF\x02\x00\x00\x00hi", 9), "hi"},
        {"", std::nullopt},
        {"\x05"
         "abc",
         std::nullopt},
        {"\xFF\x10", std::nullopt},
        {std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7), std::nullopt}, // claims ~2 GiB
        {std::string("\xFF\xFF\xFF\x01\x00\x00", 6), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        ArchiveReader reader(c.bytes);
        EXPECT_EQ(reader.ReadString(), c.text);
        EXPECT_EQ(reader.Position(), c.text ? c.bytes.size() : 0u);
    }
}

} // namespace
} // namespace tidewell

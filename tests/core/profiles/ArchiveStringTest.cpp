#include "core/profiles/ArchiveString.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

std::string RoundTrip(const std::string& text, std::string* bytes = nullptr) {
    ArchiveWriter writer;
    writer.WriteString(text);
    if (bytes) {
        *bytes = writer.Bytes();
    }
    ArchiveReader reader(writer.Bytes());
    auto back = reader.ReadString();
    EXPECT_TRUE(back.has_value());
    EXPECT_TRUE(reader.AtEnd());
    return back.value_or("<missing>");
}

TEST(ArchiveString, PrefixFormsAtTheirBoundaries) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {300, std::string("\xFF\x2C\x01", 3)},
        {65533, std::string("\xFF\xFD\xFF", 3)},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const auto& c : cases) {
        const std::string text(c.length, 'a');
        std::string bytes;
        EXPECT_EQ(RoundTrip(text, &bytes), text) << c.length;
        EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
    }
}

TEST(ArchiveString, ReadsLongFormsEvenForShortTexts) {
    // Other writers may use a longer prefix than needed; all three forms load.
    const std::string threeByte("\xFF\x02\x00hi", 5);
    const std::string sevenByte("\xFF\xFF\xFF\x02\x00\x00\x00hi", 9);
    ArchiveReader three(threeByte);
    EXPECT_EQ(three.ReadString(), "hi");
    ArchiveReader seven(sevenByte);
    EXPECT_EQ(seven.ReadString(), "hi");
}

TEST(ArchiveString, CutShortDataFailsWithoutMovingOrAllocating) {
    const std::string samples[] = {
        "",
        "\x05"
        "abc",
        "\xFF\x10",
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7), // claims ~2 GiB
        std::string("\xFF\xFF\xFF\x01\x00\x00", 6),
    };
    for (const auto& s : samples) {
        ArchiveReader reader(s);
        EXPECT_FALSE(reader.ReadString().has_value());
        EXPECT_EQ(reader.Position(), 0u);
    }
}

TEST(ArchiveString, SequenceOfStrings) {
    ArchiveWriter writer;
    writer.WriteString("ftp.example.org");
    writer.WriteString("");
    writer.WriteString(std::string(400, 'x'));
    ArchiveReader reader(writer.Bytes());
    EXPECT_EQ(reader.ReadString(), "ftp.example.org");
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_EQ(reader.ReadString(), std::string(400, 'x'));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.ReadString().has_value());
}

TEST(PasswordShift, EveryByteValueSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string encoded = EncodePassword(all);
    EXPECT_EQ(encoded.size(), all.size());
    EXPECT_NE(encoded, all);
    EXPECT_EQ(DecodePassword(encoded), all);
    EXPECT_EQ(RoundTrip(encoded), encoded);
    EXPECT_EQ(EncodePassword(""), "");
    EXPECT_EQ(static_cast<unsigned char>(EncodePassword("\x03")[0]), (0x03 - kPasswordShift) & 0xFF);
}

} // namespace
} // namespace tidewell

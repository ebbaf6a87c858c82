#include "app/CommandLine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> Words(const std::vector<std::string>& args) {
    return SplitCommandWords(BuildParameterString(args));
}

TEST(CommandLine, NoArgumentsGiveNoWords) {
    EXPECT_EQ(BuildParameterString({}), "");
    EXPECT_THAT(Words({}), IsEmpty());
}

TEST(CommandLine, SeparateArgumentsBecomeSeparateWords) {
    EXPECT_EQ(BuildParameterString({"C:\\a.txt", "D:\\dir"}), "C:\\a.txt D:\\dir");
    EXPECT_THAT(Words({"C:\\a.txt", "D:\\dir"}), ElementsAre("C:\\a.txt", "D:\\dir"));
    EXPECT_THAT(Words({"/home/u/a.txt", "/tmp/dir", "b"}), ElementsAre("home/u/a.txt", "tmp/dir", "b"));
}

TEST(CommandLine, AnArgumentWithABlankIsSplitAtIt) {
    EXPECT_THAT(Words({"C:\\My Files\\a.txt"}), ElementsAre("C:\\My", "Files\\a.txt"));
}

TEST(CommandLine, OneLeadingSlashOrDashIsDropped) {
    EXPECT_THAT(Words({"/x"}), ElementsAre("x"));
    EXPECT_THAT(Words({"-x"}), ElementsAre("x"));
    EXPECT_THAT(Words({"--x", "//y", "a-b"}), ElementsAre("-x", "/y", "a-b"));
    // A lone flag character leaves an empty argument, which the next one replaces.
    EXPECT_THAT(Words({"-", "y"}), ElementsAre("y"));
}

TEST(CommandLine, TwoBlanksInARowEndTheSplitting) {
    EXPECT_THAT(Words({"a  b"}), ElementsAre("a", " b"));
    EXPECT_THAT(Words({"a  b c"}), ElementsAre("a", " b c"));
    EXPECT_THAT(SplitCommandWords(" lead"), ElementsAre(" lead"));
}

TEST(CommandLine, EmptyArgumentsAddNothing) {
    EXPECT_EQ(BuildParameterString({"", "x"}), "x");
    EXPECT_THAT(Words({"", "x"}), ElementsAre("x"));
    EXPECT_EQ(BuildParameterString({"x", ""}), "x ");
    EXPECT_THAT(Words({"x", ""}), ElementsAre("x"));
    EXPECT_THAT(Words({"", ""}), IsEmpty());
}

TEST(CommandLine, OnlyTheBlankSeparates) {
    EXPECT_THAT(SplitCommandWords("a\tb c\nd"), ElementsAre("a\tb", "c\nd"));
    EXPECT_THAT(SplitCommandWords("a "), ElementsAre("a"));
}

} // namespace
} // namespace tidewell

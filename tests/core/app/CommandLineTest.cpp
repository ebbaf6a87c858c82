#include "core/app/CommandLine.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, ArgumentsBecomeWords) {
    const struct {
        Strings args;
        std::string parameters; // empty: not checked
        Strings words;
    } cases[] = {
        {{}, "", {}},
        {{"C:\\a.txt", "D:\\dir"}, "C:\\a.txt D:\\dir", {"C:\\a.txt", "D:\\dir"}},
        {{"/home/u/a.txt", "/tmp/dir", "b"}, "", {"home/u/a.txt", "tmp/dir", "b"}},
        {{"C:\\My Files\\a.txt"}, "", {"C:\\My", "Files\\a.txt"}}, // split at the blank
        {{"--x", "//y", "a-b"}, "", {"-x", "/y", "a-b"}},          // one flag character is dropped
        {{"-", "y"}, "", {"y"}},         // the empty argument left is replaced by the next
        {{"a  b c"}, "", {"a", " b c"}}, // two blanks in a row end the splitting
        {{"x", ""}, "x ", {"x"}},
        {{"a\tb c\nd"}, "", {"a\tb", "c\nd"}}, // only a blank separates
        {{" lead"}, "", {" lead"}},            // a blank in front ends the splitting at once
    };
    for (const auto& c : cases) {
        const std::string parameters = BuildParameterString(c.args);
        SCOPED_TRACE(parameters);
        if (!c.parameters.empty()) {
            EXPECT_EQ(parameters, c.parameters);
        }
        EXPECT_EQ(SplitCommandWords(parameters), c.words);
    }
}

} // namespace
} // namespace tidewell

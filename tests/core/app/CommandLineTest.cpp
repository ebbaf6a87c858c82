#include "core/app/CommandLine.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using Strings = std::vector<std::string>;

// What a shell hands over is what uploads: absolute, relative and "~" paths,
// blanks and leading "/" or "-" kept.
TEST(CommandLine, EveryArgumentIsAPath) {
    const struct {
        Strings args;
        Strings paths;
    } cases[] = {
        {{}, {}},
        {{"/home/me/a.txt", "/tmp/dir/"}, {"/home/me/a.txt", "/tmp/dir/"}},
        {{"a.txt", "../up/b", "./c d.txt"}, {"/work/now/a.txt", "/work/up/b", "/work/now/c d.txt"}},
        {{"~", "~/photos", "~other"}, {"/home/me/", "/home/me/photos", "/work/now/~other"}},
        {{"--", "-x", "--"}, {"/work/now/-x", "/work/now/--"}},
        {{""}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLinePaths(c.args, "/home/me", "/work/now"), c.paths);
    }
}

} // namespace
} // namespace tidewell

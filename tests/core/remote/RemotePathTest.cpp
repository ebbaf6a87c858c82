// The edge cases of the paths; the plain steps down and up are taken through the window in BrowseWindowTest.
#include "core/remote/RemotePath.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(Navigation, ChildDirectoryJoinsWithOneSlash) {
    EXPECT_EQ(ChildDirectory("/pub/", "incoming"), "/pub/incoming");
    EXPECT_EQ(ChildDirectory("pub", "my dir"), "pub/my dir");
}

TEST(Navigation, ParentDirectory) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pub/incoming/", "/pub"}, {"/pub/", "/"}, {"pub", "/"}, {"a/b", "a"}, {"//", "/"},
    };
    for (const auto& [from, to] : cases) {
        EXPECT_EQ(ParentDirectory(from), to) << from;
    }
}

} // namespace
} // namespace tidewell

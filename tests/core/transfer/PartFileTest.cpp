#include "core/transfer/PartFile.h"

#include "fixtures/FtpServers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tidewell {
namespace {

namespace fs = std::filesystem;

struct Case {
    const char* what;
    std::size_t nameBytes;
    std::optional<mode_t> replaced; // the mode of the file already there, if any
    bool commit;
};

// What the folder holds afterwards: the target alone (new data, or old when not
// committed, with the replaced file's mode or the umask's), or nothing at all.
TEST(PartFile, ReplacesOnlyWhenCommittedKeepingTheMode) {
    const mode_t umask = ::umask(0);
    ::umask(umask);
    const Case cases[] = {
        {"replaces a 600 file", 8, 0600, true},
        {"replaces a 640 file", 8, 0640, true},
        {"replaces a 666 file, whatever the umask", 8, 0666, true},
        {"a new file", 8, std::nullopt, true},
        {"a 250-byte name, new", 250, std::nullopt, true},
        {"a 250-byte name over a 600 file", 250, 0600, true},
        {"not committed over a 600 file", 8, 0600, false},
        {"not committed, a 250-byte name", 250, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir folder;
        const auto target = folder.Path() / std::string(c.nameBytes, 'n');
        if (c.replaced) {
            std::ofstream(target) << "old";
            fs::permissions(target, static_cast<fs::perms>(*c.replaced));
        }
        {
            auto file = PartFile::Create(target);
            ASSERT_TRUE(file);
            ASSERT_TRUE(file->Write("new", 3));
            EXPECT_TRUE(!c.commit || file->Commit());
        }
        std::vector<fs::path> left;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            left.push_back(entry.path());
        }
        if (!c.replaced && !c.commit) {
            EXPECT_TRUE(left.empty());
            continue;
        }
        ASSERT_EQ(left, std::vector<fs::path>{target});
        std::ostringstream content;
        content << std::ifstream(target).rdbuf();
        EXPECT_EQ(content.str(), c.commit ? "new" : "old");
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, c.replaced.value_or(0666 & ~umask));
    }
}

} // namespace
} // namespace tidewell

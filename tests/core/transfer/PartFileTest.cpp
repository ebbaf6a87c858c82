#include "core/transfer/PartFile.h"

#include "fixtures/FtpServers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace tidewell {
namespace {

namespace fs = std::filesystem;

// Afterwards the folder holds the target alone (the new data when committed, in
// the mode of the file it replaced, else the umask's) or nothing at all.
TEST(PartFile, ReplacesOnlyWhenCommittedKeepingTheMode) {
    const mode_t umask = ::umask(0);
    ::umask(umask);
    // Name length, the mode of a file already there, committed.
    const std::tuple<std::size_t, std::optional<mode_t>, bool> cases[] = {
        {8, 0600, true},           {8, 0640, true},  {8, 0666, true}, // 666: more than a usual umask leaves
        {250, std::nullopt, true}, {8, 0600, false}, {250, std::nullopt, false}};
    for (const auto& [length, replaced, commit] : cases) {
        SCOPED_TRACE(testing::Message() << length << " bytes, mode " << std::oct << replaced.value_or(0));
        test::TempDir folder;
        const auto target = folder.Path() / std::string(length, 'n');
        if (replaced) {
            std::ofstream(target) << "old";
            fs::permissions(target, static_cast<fs::perms>(*replaced));
        }
        {
            auto file = PartFile::Create(target);
            ASSERT_TRUE(file && file->Write("new", 3));
            EXPECT_TRUE(!commit || file->Commit());
        }
        const bool kept = replaced || commit;
        ASSERT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), kept ? 1 : 0);
        if (kept) {
            std::ifstream in(target);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), commit ? "new" : "old");
            struct stat info {};
            ASSERT_EQ(::stat(target.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, replaced.value_or(0666 & ~umask));
        }
    }
}

} // namespace
} // namespace tidewell

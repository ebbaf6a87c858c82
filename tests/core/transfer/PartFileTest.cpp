#include "core/transfer/PartFile.h"

#include "core/transfer/KeptParts.h"

#include "fixtures/FtpServers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
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

// Parts kept for a later download: a download into their folder removes the
// ones older than a week (and old temporary files a crash left), and the one
// its target has under another key; anything else stays, even a link or a
// name that merely looks alike.
TEST(KeptParts, AreTidiedByAgeAndByKeyAndNothingElseIsTouched) {
    test::TempDir folder;
    const fs::path& f = folder.Path();
    const std::string key = PartFile::KeyOf("u@h:21", "/a", 1, 2);
    const std::string otherKey = PartFile::KeyOf("u@h:21", "/a", 1, 3);
    const auto week = fs::file_time_type::clock::now() - KeptParts::kMaxAge - std::chrono::hours(1);
    const auto put = [&](const fs::path& path, bool old) {
        std::ofstream(path) << "part";
        if (old) {
            fs::last_write_time(path, week);
        }
    };
    put(PartFile::KeptName(f / "old", key), true);
    put(f / ".crash.part-0badf00d", true);
    put(PartFile::KeptName(f / "target", otherKey), false);
    put(PartFile::KeptName(f / "fresh", key), false);
    put(f / ".mine.part-notours", true);
    put(f / "visible.part-0badf00d", true);
    fs::create_symlink(f / "visible.part-0badf00d", f / ".link.part-0badf00d");
    KeptParts kept;
    kept.Prepare(f / "target", key);
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(f)) {
        left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left,
              (std::set<std::string>{PartFile::KeptName(f / "fresh", key).filename().string(),
                                     ".mine.part-notours", "visible.part-0badf00d", ".link.part-0badf00d"}));
    // The same file under the same key goes on from its part.
    auto part = PartFile::Resume(f / "fresh", key);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->Length(), 4u);
}

} // namespace
} // namespace tidewell

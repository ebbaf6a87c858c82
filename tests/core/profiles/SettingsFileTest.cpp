#include "core/profiles/SettingsFile.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tidewell {
namespace {

using namespace std::string_literals;
using testing::ReadBytes;
using testing::WriteBytes;

const std::string kHeader = "Tidewell V1.3 Settings\0"s;

SiteProfiles FilledProfiles() {
    SiteProfiles profiles;
    profiles[0] = {"ftp.example.org", "anna", "pw", "/pub"};
    profiles[6] = {"h", "u", "", "d"};
    return profiles;
}

TEST(SettingsFileFormat, SitesMatchTheByteTableAndComeBackWhateverTheirBytes) {
    EXPECT_EQ(SettingsFile::Encode(SiteProfiles{}, true), kHeader + std::string(28, '\0'));
    // clang-format off
    const unsigned char table[] = {
        'T','i','d','e','w','e','l','l',' ','V','1','.','3',' ','S','e','t','t','i','n','g','s', 0x00,
        // site 1: "ftp.example.org", "anna", "pw" stored seven lower as "ip", "/pub"
        0x0F, 'f','t','p','.','e','x','a','m','p','l','e','.','o','r','g',
        0x04, 'a','n','n','a',
        0x02, 'i','p',
        0x04, '/','p','u','b',
        // sites 2 to 6: four empty strings each
        0,0,0,0, 0,0,0,0, 0,0,0,0, 0,0,0,0, 0,0,0,0,
        // site 7: "h", "u", no password, "d"
        0x01, 'h', 0x01, 'u', 0x00, 0x01, 'd',
    };
    // clang-format on
    const std::string expected(reinterpret_cast<const char*>(table), sizeof table);
    EXPECT_EQ(SettingsFile::Encode(FilledProfiles(), true), expected);

    const DecodeResult decoded = SettingsFile::Decode(expected + "extra");
    ASSERT_EQ(decoded.status, SettingsStatus::Ok);
    EXPECT_EQ(decoded.profiles, FilledProfiles());
    EXPECT_EQ(decoded.trailingBytes, 5u);

    // Every byte value survives the shift, which wraps around below seven.
    SiteProfiles all;
    for (int i = 0; i < 256; ++i) {
        all[2].password.push_back(static_cast<char>(i));
    }
    EXPECT_EQ(SettingsFile::Decode(SettingsFile::Encode(all, true)).profiles, all);
}

// Decode and Load check the header separately, so every case goes through both.
TEST(SettingsFileFormat, WrongHeadersAndCutShortRecordsLoadNothing) {
    std::vector<std::pair<std::string, SettingsStatus>> cases = {
        {"", SettingsStatus::NotSettingsFile},
        {kHeader.substr(0, 22), SettingsStatus::NotSettingsFile}, // without its zero byte
        {"Tidewell V1.3 Settings!" + std::string(28, '\0'), SettingsStatus::NotSettingsFile},
        {"Tidewell V1.2 Settings\0"s + std::string(28, '\0'), SettingsStatus::NotSettingsFile},
    };
    const std::string full = SettingsFile::Encode(FilledProfiles(), true);
    for (std::size_t size = kHeader.size(); size < full.size(); ++size) {
        cases.emplace_back(full.substr(0, size), SettingsStatus::CutShort);
    }
    QTemporaryDir dir;
    for (const auto& [bytes, status] : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(SettingsFile::Decode(bytes).status, status);
        WriteBytes(dir.filePath("s.dat"), bytes);
        EXPECT_EQ(SettingsFile::Load(dir.filePath("s.dat")).status, status);
    }
}

class SettingsFileIo : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QStringList FolderEntries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    static unsigned Mode(const QString& path) {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        return info.st_mode & 07777;
    }

    QTemporaryDir dir_;
};

// A second save of new.dat must give the same bytes as the first.
TEST_F(SettingsFileIo, SaveWritesOwnerOnlyFilesThatLoadBackAndRepeatsIdentically) {
    WriteBytes(PathOf("old.dat"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(PathOf("old.dat")).constData(), 0644), 0);
    for (const QString& path : {PathOf("new.dat"), PathOf("old.dat"), PathOf("new.dat")}) {
        SCOPED_TRACE(path.toStdString());
        ASSERT_EQ(SettingsFile::Save(path, FilledProfiles(), true).status, SettingsStatus::Ok);
        EXPECT_EQ(ReadBytes(path), SettingsFile::Encode(FilledProfiles(), true));
        EXPECT_EQ(Mode(path), 0600u);
    }
    EXPECT_EQ(FolderEntries(), (QStringList{"new.dat", "old.dat"})); // no temporary file left behind
}

// Writes beyond a small file-size limit fail with EFBIG, a real write failure
// that even a privileged user gets.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
    }

    void (*handler)(int);
    rlimit old{};
    bool active = false;
};

TEST_F(SettingsFileIo, AFailedSaveSaysWhyAndLeavesTheFolderAsItWas) {
    WriteBytes(PathOf("plain"), "a file, not a folder");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.dat"));
    for (const QString& path : {PathOf("missing/s.dat"), PathOf("plain/s.dat"), PathOf("folder.dat")}) {
        const SaveResult saved = SettingsFile::Save(path, FilledProfiles(), true);
        EXPECT_EQ(saved.status, SettingsStatus::CannotCreate) << path.toStdString();
        EXPECT_FALSE(saved.reason.isEmpty());
    }
    // A write that fails half-way leaves the existing file whole.
    ASSERT_EQ(SettingsFile::Save(PathOf("s.dat"), SiteProfiles{}, true).status, SettingsStatus::Ok);
    SiteProfiles big;
    big[0].address = std::string(4096, 'x');
    SaveResult saved;
    {
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active);
        saved = SettingsFile::Save(PathOf("s.dat"), big, true);
    }
    EXPECT_EQ(saved.status, SettingsStatus::CannotWrite);
    EXPECT_FALSE(saved.reason.isEmpty());
    EXPECT_EQ(ReadBytes(PathOf("s.dat")), SettingsFile::Encode(SiteProfiles{}, true));
    EXPECT_EQ(FolderEntries(), (QStringList{"folder.dat", "plain", "s.dat"}));
}

TEST_F(SettingsFileIo, FoldersMissingFilesAndHugeFilesAreRefused) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.dat"));
    for (const QString& name : {QStringLiteral("folder.dat"), QStringLiteral("missing.dat")}) {
        const LoadResult loaded = SettingsFile::Load(PathOf(name));
        EXPECT_EQ(loaded.status, SettingsStatus::CannotRead) << name.toStdString();
        EXPECT_FALSE(loaded.reason.isEmpty());
    }
    // Sparse files: no disk space used, and neither is read whole.
    WriteBytes(PathOf("huge.dat"), SettingsFile::Encode(SiteProfiles{}, true));
    WriteBytes(PathOf("huge.bin"), "");
    for (const QString& name : {QStringLiteral("huge.dat"), QStringLiteral("huge.bin")}) {
        ASSERT_TRUE(QFile::resize(PathOf(name), kMaxSettingsFileSize + 1));
    }
    EXPECT_EQ(SettingsFile::Load(PathOf("huge.dat")).status, SettingsStatus::TooLarge);
    EXPECT_EQ(SettingsFile::Load(PathOf("huge.bin")).status, SettingsStatus::NotSettingsFile);
}

} // namespace
} // namespace tidewell

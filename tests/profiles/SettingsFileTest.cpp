#include "profiles/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tidewell {
namespace {

using namespace std::string_literals;

std::string Header() {
    return "Tidewell V1.3 Settings\0"s;
}

SiteProfiles FilledProfiles() {
    SiteProfiles profiles;
    profiles[0] = {"ftp.example.org", "anna", "pw", "/pub"};
    profiles[6] = {"h", "u", "", "d"};
    return profiles;
}

std::string ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

TEST(SettingsFileFormat, SevenEmptySitesAreTheHeaderAndTwentyEightZeroBytes) {
    const std::string bytes = SettingsFile::Encode(SiteProfiles{}, true);
    EXPECT_EQ(bytes.size(), 51u);
    EXPECT_EQ(bytes, Header() + std::string(28, '\0'));
}

TEST(SettingsFileFormat, FilledSitesMatchTheByteTable) {
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

    const DecodeResult decoded = SettingsFile::Decode(expected);
    ASSERT_EQ(decoded.status, SettingsStatus::Ok);
    EXPECT_EQ(decoded.profiles, FilledProfiles());
    EXPECT_EQ(decoded.trailingBytes, 0u);
}

TEST(SettingsFileFormat, PasswordsAreWrittenEmptyWhenNotSaved) {
    const std::string bytes = SettingsFile::Encode(FilledProfiles(), false);
    EXPECT_EQ(bytes.substr(23, 27), "\x0F"
                                    "ftp.example.org"
                                    "\x04"
                                    "anna"
                                    "\x00"s
                                    "\x04"
                                    "/pub");
    EXPECT_EQ(bytes, SettingsFile::Encode(SettingsFile::WithoutPasswords(FilledProfiles()), true));

    const DecodeResult decoded = SettingsFile::Decode(bytes);
    ASSERT_EQ(decoded.status, SettingsStatus::Ok);
    for (const SiteProfile& profile : decoded.profiles) {
        EXPECT_EQ(profile.password, "");
    }
    EXPECT_EQ(decoded.profiles[0].address, "ftp.example.org");
}

TEST(SettingsFileFormat, LongPasswordUsesTheThreeBytePrefixAndComesBackUnchanged) {
    SiteProfiles profiles;
    std::string password;
    for (int i = 0; i < 300; ++i) {
        password.push_back(static_cast<char>(i % 256)); // every byte value, shifts wrap around
    }
    profiles[2] = {"a", "b", password, "c"};
    const std::string bytes = SettingsFile::Encode(profiles, true);
    // Sites 1 and 2 are eight zero bytes; site 3's address and username four more.
    EXPECT_EQ(bytes.substr(23 + 8 + 4, 3), "\xFF\x2C\x01");

    const DecodeResult decoded = SettingsFile::Decode(bytes);
    ASSERT_EQ(decoded.status, SettingsStatus::Ok);
    EXPECT_EQ(decoded.profiles[2].password, password);
}

TEST(SettingsFileFormat, WrongOrShortHeadersAreNotSettingsFiles) {
    const std::string cases[] = {
        "",
        "just some text\n",
        Header().substr(0, 22),                            // header without its zero byte
        "Tidewell V1.3 Settings!" + std::string(28, '\0'), // 23rd byte not zero
        "Tidewell V1.2 Settings\0"s + std::string(28, '\0'),
        "tidewell V1.3 Settings\0"s + std::string(28, '\0'),
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ(SettingsFile::Decode(bytes).status, SettingsStatus::NotSettingsFile) << bytes;
    }
}

TEST(SettingsFileFormat, RecordsCutShortAreReportedAsSuch) {
    const std::string full = SettingsFile::Encode(FilledProfiles(), true);
    for (std::size_t size = 23; size < full.size(); ++size) {
        EXPECT_EQ(SettingsFile::Decode(full.substr(0, size)).status, SettingsStatus::CutShort) << size;
    }
    // A prefix promising four gigabytes is a cut-short record, not an allocation.
    EXPECT_EQ(SettingsFile::Decode(Header() + "\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                                              "abc")
                  .status,
              SettingsStatus::CutShort);
}

TEST(SettingsFileFormat, TrailingBytesAreIgnored) {
    const std::string bytes = SettingsFile::Encode(FilledProfiles(), true) + "extra";
    const DecodeResult decoded = SettingsFile::Decode(bytes);
    ASSERT_EQ(decoded.status, SettingsStatus::Ok);
    EXPECT_EQ(decoded.profiles, FilledProfiles());
    EXPECT_EQ(decoded.trailingBytes, 5u);
}

TEST(SettingsFileMessages, InvalidFileMessageNamesThePath) {
    const UserMessage message = SettingsFile::FailureMessage(SettingsStatus::NotSettingsFile, "/x/a b.txt");
    EXPECT_EQ(message.text, "File \"/x/a b.txt\" is not a valid Tidewell settings file");
    EXPECT_EQ(message.caption, "ERROR");
    EXPECT_EQ(message.icon, MessageIcon::Stop);
}

TEST(SettingsFileMessages, EveryFailureHasAnErrorBoxNamingThePath) {
    for (auto status : {SettingsStatus::CutShort, SettingsStatus::TooLarge, SettingsStatus::CannotRead,
                        SettingsStatus::CannotCreate, SettingsStatus::CannotWrite}) {
        const UserMessage message = SettingsFile::FailureMessage(status, "/x/s.dat", "Disk full");
        EXPECT_TRUE(message.text.startsWith("File \"/x/s.dat\" ")) << message.text.toStdString();
        EXPECT_EQ(message.caption, "ERROR");
        EXPECT_EQ(message.icon, MessageIcon::Stop);
    }
    EXPECT_EQ(SettingsFile::FailureMessage(SettingsStatus::CannotWrite, "/x/s.dat", "Disk full").text,
              "File \"/x/s.dat\" could not be written (Disk full). The FTP preferences were not saved.");
}

class SettingsFileIo : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QStringList FolderEntries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFileIo, SaveWritesTheEncodedBytesOwnerOnly) {
    const QString path = PathOf("s.dat");
    ASSERT_EQ(SettingsFile::Save(path, FilledProfiles(), true).status, SettingsStatus::Ok);
    EXPECT_EQ(ReadBytes(path), SettingsFile::Encode(FilledProfiles(), true));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(FolderEntries(), QStringList{"s.dat"}); // no temporary file left behind
}

TEST_F(SettingsFileIo, SavingTwiceGivesIdenticalFiles) {
    const QString path = PathOf("s.dat");
    ASSERT_EQ(SettingsFile::Save(path, FilledProfiles(), true).status, SettingsStatus::Ok);
    const std::string first = ReadBytes(path);
    ASSERT_EQ(SettingsFile::Save(path, FilledProfiles(), true).status, SettingsStatus::Ok);
    EXPECT_EQ(ReadBytes(path), first);
}

TEST_F(SettingsFileIo, ReplacingAReadableFileMakesItOwnerOnly) {
    const QString path = PathOf("s.dat");
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_EQ(SettingsFile::Save(path, SiteProfiles{}, true).status, SettingsStatus::Ok);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadBytes(path).size(), 51u);
}

TEST_F(SettingsFileIo, LoadReadsWhatSaveWrote) {
    const QString path = PathOf("s.dat");
    ASSERT_EQ(SettingsFile::Save(path, FilledProfiles(), true).status, SettingsStatus::Ok);
    const LoadResult loaded = SettingsFile::Load(path);
    ASSERT_EQ(loaded.status, SettingsStatus::Ok);
    EXPECT_EQ(loaded.profiles, FilledProfiles());
}

TEST_F(SettingsFileIo, SaveIntoAFolderThatCannotHoldFilesFailsAsCannotCreate) {
    WriteBytes(PathOf("plain"), "a file, not a folder");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.dat"));
    for (const QString& path : {PathOf("missing/s.dat"), PathOf("plain/s.dat"), PathOf("folder.dat")}) {
        const SaveResult saved = SettingsFile::Save(path, FilledProfiles(), true);
        EXPECT_EQ(saved.status, SettingsStatus::CannotCreate) << path.toStdString();
        EXPECT_FALSE(saved.reason.isEmpty());
    }
    EXPECT_EQ(FolderEntries(), (QStringList{"folder.dat", "plain"}));
}

// Writes beyond a small file-size limit fail with EFBIG, a real write failure
// that even a privileged user gets.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST_F(SettingsFileIo, AnExistingFileSurvivesAFailedSave) {
    const QString path = PathOf("s.dat");
    ASSERT_EQ(SettingsFile::Save(path, SiteProfiles{}, true).status, SettingsStatus::Ok);
    SiteProfiles big;
    big[0].address = std::string(4096, 'x');
    SaveResult saved;
    {
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.Active());
        saved = SettingsFile::Save(path, big, true);
    }
    EXPECT_EQ(saved.status, SettingsStatus::CannotWrite);
    EXPECT_FALSE(saved.reason.isEmpty());
    EXPECT_EQ(ReadBytes(path), SettingsFile::Encode(SiteProfiles{}, true));
    EXPECT_EQ(FolderEntries(), QStringList{"s.dat"});
}

TEST_F(SettingsFileIo, LoadTellsWrongHeadersCutShortAndUnreadableFilesApart) {
    WriteBytes(PathOf("text.txt"), "hello, this is not a settings file at all\n");
    WriteBytes(PathOf("short.dat"), "Tidewell");
    WriteBytes(PathOf("cut.dat"), SettingsFile::Encode(FilledProfiles(), true).substr(0, 40));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.dat"));

    EXPECT_EQ(SettingsFile::Load(PathOf("text.txt")).status, SettingsStatus::NotSettingsFile);
    EXPECT_EQ(SettingsFile::Load(PathOf("short.dat")).status, SettingsStatus::NotSettingsFile);
    EXPECT_EQ(SettingsFile::Load(PathOf("cut.dat")).status, SettingsStatus::CutShort);
    for (const QString& name : {QStringLiteral("folder.dat"), QStringLiteral("missing.dat")}) {
        const LoadResult loaded = SettingsFile::Load(PathOf(name));
        EXPECT_EQ(loaded.status, SettingsStatus::CannotRead) << name.toStdString();
        EXPECT_FALSE(loaded.reason.isEmpty());
    }
}

TEST_F(SettingsFileIo, HugeFilesAreRefusedWithoutReadingThem) {
    const QString settingsLike = PathOf("huge.dat");
    const QString other = PathOf("huge.bin");
    for (const QString& path : {settingsLike, other}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (path == settingsLike) {
            file.write(SettingsFile::Encode(SiteProfiles{}, true).c_str(), 51);
        }
        ASSERT_TRUE(file.resize(kMaxSettingsFileSize + 1)); // sparse: no disk space used
    }
    EXPECT_EQ(SettingsFile::Load(settingsLike).status, SettingsStatus::TooLarge);
    EXPECT_EQ(SettingsFile::Load(other).status, SettingsStatus::NotSettingsFile);
}

} // namespace
} // namespace tidewell

#include "profiles/SettingsDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace tidewell {
namespace {

// The window as the settings commands see it: panes with their profiles and
// fields, the modified flags, the title and the message boxes.
class FakeHost : public SettingsHost {
public:
    SiteProfiles profiles{};
    SiteProfiles fields{};
    std::array<bool, kSiteCount> modified{};
    QString title = "Tidewell - [old]";
    bool savePasswords = true;
    int logOuts = 0;
    std::vector<UserMessage> messages;
    std::vector<UserMessage> questions;
    std::deque<Answer> answers;

    SiteProfiles Profiles() const override { return profiles; }
    SiteProfiles FieldProfiles() const override { return fields; }
    void SetProfiles(const SiteProfiles& p) override { profiles = p; }
    void ShowLoadedProfiles(const SiteProfiles& p) override {
        ++logOuts;
        for (std::size_t i = 0; i < kSiteCount; ++i) {
            // A pushed field raises its change notification only when its text changes.
            if (fields[i] != p[i]) {
                modified[i] = true;
            }
        }
        profiles = p;
        fields = p;
    }
    bool AnySiteModified() const override {
        return std::find(modified.begin(), modified.end(), true) != modified.end();
    }
    void ClearSiteModified() override { modified.fill(false); }
    void SetTitle(const QString& t) override { title = t; }
    bool SavePasswords() const override { return savePasswords; }
    void ShowMessage(const UserMessage& message) override { messages.push_back(message); }
    Answer Ask(const UserMessage& question) override {
        questions.push_back(question);
        EXPECT_FALSE(answers.empty()) << "unexpected question " << question.text.toStdString();
        if (answers.empty()) {
            return Answer::Cancel;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Typing into the fields: they differ from the profiles until a pull.
    void Type(std::size_t site, const SiteProfile& text) {
        fields[site] = text;
        modified[site] = true;
    }
};

SiteProfiles Sample() {
    SiteProfiles profiles;
    profiles[0] = {"ftp.one.test", "anna", "secret", "/pub"};
    profiles[3] = {"ftp.four.test", "bob", "pw4", ""};
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
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string EmptyFile() {
    return SettingsFile::Encode(SiteProfiles{}, true);
}

class SettingsDocumentTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    // Snapshot of everything a failed operation must leave alone.
    struct State {
        SiteProfiles profiles, fields;
        std::array<bool, kSiteCount> modified;
        QString title, path;
        int logOuts;
        bool operator==(const State&) const = default;
    };
    State Snapshot() const {
        return {host_.profiles, host_.fields, host_.modified, host_.title, doc_.Path(), host_.logOuts};
    }

    void ExpectOneError(const QString& start) {
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_TRUE(host_.messages[0].text.startsWith(start)) << host_.messages[0].text.toStdString();
        EXPECT_EQ(host_.messages[0].caption, "ERROR");
        EXPECT_EQ(host_.messages[0].icon, MessageIcon::Stop);
    }

    QTemporaryDir dir_;
    FakeHost host_;
    SettingsDocument doc_{host_, PathOf("default/TDWL23Settings.dat")};
};

TEST_F(SettingsDocumentTest, SaveWithPullWritesWhatTheFieldsShowAndKeepsItInMemory) {
    host_.Type(0, Sample()[0]);
    ASSERT_TRUE(doc_.SaveSettings(PathOf("a.dat"), true));
    SiteProfiles expected{};
    expected[0] = Sample()[0];
    EXPECT_EQ(ReadBytes(PathOf("a.dat")), SettingsFile::Encode(expected, true));
    EXPECT_EQ(host_.profiles, expected);
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SettingsDocumentTest, SaveWithoutPullWritesTheProfilesInMemory) {
    host_.profiles = Sample();
    host_.Type(1, {"typed", "", "", ""});
    ASSERT_TRUE(doc_.SaveSettings(PathOf("a.dat"), false));
    EXPECT_EQ(ReadBytes(PathOf("a.dat")), SettingsFile::Encode(Sample(), true));
}

TEST_F(SettingsDocumentTest, SaveWithPasswordsOffDropsThemFromFileAndMemoryButNotFromTheFields) {
    host_.savePasswords = false;
    host_.fields = Sample();
    ASSERT_TRUE(doc_.SaveSettings(PathOf("a.dat"), true));
    EXPECT_EQ(ReadBytes(PathOf("a.dat")),
              SettingsFile::Encode(SettingsFile::WithoutPasswords(Sample()), true));
    EXPECT_EQ(host_.profiles, SettingsFile::WithoutPasswords(Sample()));
    EXPECT_EQ(host_.fields, Sample());

    ASSERT_TRUE(doc_.LoadSettings(PathOf("a.dat"), true));
    EXPECT_EQ(host_.profiles, SettingsFile::WithoutPasswords(Sample()));
}

TEST_F(SettingsDocumentTest, LoadPushesTheProfilesAndLogsOut) {
    ASSERT_EQ(SettingsFile::Save(PathOf("a.dat"), Sample(), true).status, SettingsStatus::Ok);
    ASSERT_TRUE(doc_.LoadSettings(PathOf("a.dat"), true));
    EXPECT_EQ(host_.profiles, Sample());
    EXPECT_EQ(host_.fields, Sample());
    EXPECT_EQ(host_.logOuts, 1);
    // The panes whose fields changed are modified; loading alone clears nothing.
    EXPECT_TRUE(host_.modified[0]);
    EXPECT_FALSE(host_.modified[1]);
    EXPECT_TRUE(host_.modified[3]);
    EXPECT_EQ(host_.title, "Tidewell - [old]");
}

TEST_F(SettingsDocumentTest, LoadOfANonSettingsFileChangesNothing) {
    WriteBytes(PathOf("notes.txt"), "Tidewell is nice\n");
    host_.profiles = host_.fields = Sample();
    const State before = Snapshot();

    EXPECT_FALSE(doc_.LoadSettings(PathOf("notes.txt"), false));
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_FALSE(doc_.LoadSettings(PathOf("notes.txt"), true));
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0],
              (UserMessage{"File \"" + PathOf("notes.txt") + "\" is not a valid Tidewell settings file",
                           "ERROR", MessageIcon::Stop}));
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SettingsDocumentTest, CutShortAndUnreadableFilesAreReportedEvenWithoutMessagesAndChangeNothing) {
    WriteBytes(PathOf("cut.dat"), SettingsFile::Encode(Sample(), true).substr(0, 30));
    host_.profiles = host_.fields = Sample();
    const State before = Snapshot();

    EXPECT_FALSE(doc_.LoadSettings(PathOf("cut.dat"), false));
    ExpectOneError("File \"" + PathOf("cut.dat") + "\" is damaged");
    host_.messages.clear();
    EXPECT_FALSE(doc_.LoadSettings(PathOf("nowhere.dat"), false));
    ExpectOneError("File \"" + PathOf("nowhere.dat") + "\" could not be read");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SettingsDocumentTest, OpenOfAValidFileMakesItCurrentWithAPlainTitle) {
    ASSERT_EQ(SettingsFile::Save(PathOf("b.dat"), Sample(), true).status, SettingsStatus::Ok);
    host_.modified[5] = true;
    ASSERT_TRUE(doc_.Open(PathOf("b.dat")));
    EXPECT_EQ(doc_.Path(), PathOf("b.dat"));
    EXPECT_EQ(host_.title, "Tidewell - [" + PathOf("b.dat") + "]");
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(host_.logOuts, 1);
    EXPECT_EQ(host_.profiles, Sample());
}

TEST_F(SettingsDocumentTest, OpenOfAnInvalidOrDamagedFileKeepsThePreviousOne) {
    doc_.SetPath(PathOf("current.dat"));
    WriteBytes(PathOf("text.txt"), "plain text");
    WriteBytes(PathOf("cut.dat"), EmptyFile().substr(0, 40));
    host_.profiles = host_.fields = Sample();
    host_.modified[2] = true;
    const State before = Snapshot();
    for (const QString& name : {QStringLiteral("text.txt"), QStringLiteral("cut.dat")}) {
        host_.messages.clear();
        EXPECT_FALSE(doc_.Open(PathOf(name)));
        EXPECT_EQ(host_.messages.size(), 1u);
        EXPECT_EQ(Snapshot(), before) << name.toStdString();
    }
}

TEST_F(SettingsDocumentTest, ConfirmBeforeOpenAsksOnlyWhenSomethingIsModified) {
    EXPECT_TRUE(doc_.ConfirmBeforeOpen());
    EXPECT_TRUE(host_.questions.empty());

    host_.Type(0, Sample()[0]);
    host_.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(doc_.ConfirmBeforeOpen());
    EXPECT_TRUE(doc_.ConfirmBeforeOpen());
    ASSERT_EQ(host_.questions.size(), 2u);
    EXPECT_EQ(host_.questions[0], (UserMessage{"Save your current FTP preferences?", "Save FTP Preferences",
                                               MessageIcon::Question}));
    EXPECT_FALSE(QFileInfo::exists(doc_.Path()));
    EXPECT_TRUE(host_.AnySiteModified());
}

TEST_F(SettingsDocumentTest, ConfirmBeforeOpenAnsweredYesSavesTheEdits) {
    ASSERT_TRUE(QDir().mkpath(PathOf("default")));
    host_.Type(0, Sample()[0]);
    host_.answers = {Answer::Yes};
    EXPECT_TRUE(doc_.ConfirmBeforeOpen());
    const LoadResult saved = SettingsFile::Load(doc_.Path());
    ASSERT_EQ(saved.status, SettingsStatus::Ok);
    EXPECT_EQ(saved.profiles[0], Sample()[0]);
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(host_.title, SettingsDocument::PlainTitle(doc_.Path()));
}

TEST_F(SettingsDocumentTest, ConfirmBeforeOpenStopsWhenTheSaveFails) {
    // The default folder does not exist, so the save cannot create its file.
    host_.Type(0, Sample()[0]);
    host_.answers = {Answer::Yes};
    const State before = Snapshot();
    EXPECT_FALSE(doc_.ConfirmBeforeOpen());
    ExpectOneError("File \"" + doc_.Path() + "\" could not be created");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SettingsDocumentTest, SaveAndSaveAsClearTheMarkerAndSaveAsChangesThePath) {
    ASSERT_TRUE(QDir().mkpath(PathOf("default")));
    host_.Type(0, Sample()[0]);
    ASSERT_TRUE(doc_.Save());
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(host_.title, SettingsDocument::PlainTitle(doc_.DefaultPath()));

    host_.Type(3, Sample()[3]);
    ASSERT_TRUE(doc_.SaveAs(PathOf("other.dat")));
    EXPECT_EQ(doc_.Path(), PathOf("other.dat"));
    EXPECT_EQ(host_.title, "Tidewell - [" + PathOf("other.dat") + "]");
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(SettingsFile::Load(PathOf("other.dat")).profiles, Sample());
}

TEST_F(SettingsDocumentTest, FailedSavesLeavePathProfilesFlagsAndTitleAsTheyWere) {
    WriteBytes(PathOf("plain"), "a file where a folder should be");
    host_.savePasswords = false; // a successful save would drop the passwords in memory
    host_.profiles = Sample();
    host_.Type(0, {"new", "x", "y", "z"});
    const State before = Snapshot();

    EXPECT_FALSE(doc_.SaveAs(PathOf("plain/s.dat")));
    ExpectOneError("File \"" + PathOf("plain/s.dat") + "\" could not be created");
    EXPECT_EQ(Snapshot(), before);
    host_.messages.clear();
    EXPECT_FALSE(doc_.Save()); // default folder missing
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_FALSE(doc_.SaveOnExit());
    EXPECT_EQ(Snapshot(), before);
}

class StartUpTest : public SettingsDocumentTest {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(PathOf("default"))); }
};

TEST_F(StartUpTest, FirstStartCreatesTheDefaultFileWithSevenEmptyProfiles) {
    doc_.OpenAtStartUp();
    EXPECT_EQ(doc_.Path(), doc_.DefaultPath());
    EXPECT_EQ(ReadBytes(doc_.DefaultPath()), EmptyFile());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_FALSE(host_.AnySiteModified());
}

TEST_F(StartUpTest, AnExistingFileIsLoadedAndItsSitesAreLeftModified) {
    ASSERT_EQ(SettingsFile::Save(doc_.DefaultPath(), Sample(), true).status, SettingsStatus::Ok);
    doc_.OpenAtStartUp();
    EXPECT_EQ(host_.profiles, Sample());
    EXPECT_TRUE(host_.modified[0]);
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(StartUpTest, AnInvalidNamedFileFallsBackToTheDefaultWhichIsCreated) {
    WriteBytes(PathOf("named.dat"), "not settings");
    doc_.SetPath(PathOf("named.dat"));
    doc_.OpenAtStartUp();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text,
              "File \"" + PathOf("named.dat") + "\" is not a valid Tidewell settings file");
    EXPECT_EQ(doc_.Path(), doc_.DefaultPath());
    EXPECT_EQ(ReadBytes(doc_.DefaultPath()), EmptyFile());
    EXPECT_EQ(ReadBytes(PathOf("named.dat")), "not settings");
}

TEST_F(StartUpTest, AnInvalidNamedFileFallsBackToAnExistingDefault) {
    WriteBytes(PathOf("named.dat"), "not settings");
    ASSERT_EQ(SettingsFile::Save(doc_.DefaultPath(), Sample(), true).status, SettingsStatus::Ok);
    doc_.SetPath(PathOf("named.dat"));
    doc_.OpenAtStartUp();
    EXPECT_EQ(doc_.Path(), doc_.DefaultPath());
    EXPECT_EQ(host_.profiles, Sample());
    EXPECT_EQ(host_.messages.size(), 1u);
}

TEST_F(StartUpTest, ANamedMissingFileIsCreatedAndBecomesCurrent) {
    doc_.SetPath(PathOf("new.dat"));
    doc_.OpenAtStartUp();
    EXPECT_EQ(doc_.Path(), PathOf("new.dat"));
    EXPECT_EQ(ReadBytes(PathOf("new.dat")), EmptyFile());
    EXPECT_FALSE(QFileInfo::exists(doc_.DefaultPath()));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(StartUpTest, ANamedFileThatCannotBeCreatedFallsBackToTheDefault) {
    doc_.SetPath(PathOf("missing-folder/new.dat"));
    doc_.OpenAtStartUp();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(host_.messages[0].text.contains("could not be created"));
    EXPECT_EQ(doc_.Path(), doc_.DefaultPath());
    EXPECT_EQ(ReadBytes(doc_.DefaultPath()), EmptyFile());
}

TEST_F(StartUpTest, AnInvalidDefaultFileIsRewrittenWithEmptyProfiles) {
    WriteBytes(doc_.DefaultPath(), "garbage");
    WriteBytes(PathOf("named.dat"), "also garbage");
    doc_.SetPath(PathOf("named.dat"));
    doc_.OpenAtStartUp();
    EXPECT_EQ(host_.messages.size(), 1u); // the named file's; the default is replaced silently
    EXPECT_EQ(doc_.Path(), doc_.DefaultPath());
    EXPECT_EQ(ReadBytes(doc_.DefaultPath()), EmptyFile());
}

TEST_F(StartUpTest, AnInvalidDefaultFileNamedByThePreferencesIsReportedOnce) {
    WriteBytes(doc_.DefaultPath(), "garbage");
    doc_.OpenAtStartUp();
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(ReadBytes(doc_.DefaultPath()), EmptyFile());
}

} // namespace
} // namespace tidewell

#include "core/profiles/SettingsDocument.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace tidewell {
namespace {

using testing::ReadBytes;
using testing::SampleProfiles;
using testing::WriteBytes;

// The window as the settings commands see it: profiles, what the fields show,
// the modified flags, the path in the title and the message boxes.
class FakeHost : public SettingsHost {
public:
    SiteProfiles profiles{};
    SiteProfiles fields{};
    std::array<bool, kSiteCount> modified{};
    QString titlePath = "old";
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
            modified[i] = modified[i] || fields[i] != p[i];
        }
        profiles = fields = p;
    }
    bool AnySiteModified() const override { return std::ranges::find(modified, true) != modified.end(); }
    void ClearSiteModified() override { modified.fill(false); }
    void ShowPlainTitle(const QString& path) override { titlePath = path; }
    bool SavePasswords() const override { return savePasswords; }
    void ShowMessage(const UserMessage& message) override { messages.push_back(message); }
    Answer Ask(const UserMessage& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question " << question.text;
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

class SettingsDocumentTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    // Everything a failed operation must leave alone.
    struct State {
        SiteProfiles profiles, fields;
        std::array<bool, kSiteCount> modified;
        QString titlePath, path;
        int logOuts;
        bool operator==(const State&) const = default;
    };
    State Snapshot() const {
        return {host_.profiles, host_.fields, host_.modified, host_.titlePath, doc_.Path(), host_.logOuts};
    }

    void ExpectOneErrorNaming(const QString& path) {
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_TRUE(host_.messages[0].text.starts_with("File \"" + path.toStdString() + "\" "))
            << host_.messages[0].text;
        host_.messages.clear();
    }

    QTemporaryDir dir_;
    FakeHost host_;
    SettingsDocument doc_{host_, PathOf("default/TDWL23Settings.dat")};
};

// What Save writes, and the fields, title and log-out after an open: SettingsWindowTest.
TEST_F(SettingsDocumentTest, SaveAsAndOpenMakeTheirFileCurrentAndClearTheMarker) {
    // With Save Passwords off the passwords leave the file and memory, not the fields.
    host_.savePasswords = false;
    host_.Type(0, SampleProfiles()[0]);
    const SiteProfiles fields = host_.fields;
    ASSERT_TRUE(doc_.SaveAs(PathOf("b.dat")));
    EXPECT_EQ(SettingsFile::Load(PathOf("b.dat")).profiles, SettingsFile::WithoutPasswords(fields));
    EXPECT_EQ(host_.profiles, SettingsFile::WithoutPasswords(fields));
    EXPECT_EQ(host_.fields, fields);
    EXPECT_EQ(host_.titlePath, PathOf("b.dat"));
    EXPECT_FALSE(host_.AnySiteModified());

    host_.modified[5] = true;
    ASSERT_TRUE(doc_.Open(PathOf("b.dat"))); // the fields still hold the password: site 1 differs
    EXPECT_FALSE(host_.AnySiteModified());
}

// Each failure is one error box naming the file; the path, profiles, fields,
// flags and title stay as they were. The default folder does not exist yet.
TEST_F(SettingsDocumentTest, FailedOpensAndSavesChangeNothing) {
    WriteBytes(PathOf("notes.txt"), "Tidewell is nice\n");
    WriteBytes(PathOf("cut.dat"), SettingsFile::Encode(SampleProfiles(), true).substr(0, 30));
    WriteBytes(PathOf("plain"), "a file where a folder should be");
    host_.savePasswords = false; // a save that went through would drop the passwords in memory
    host_.profiles = SampleProfiles();
    host_.Type(0, {"new", "x", "y", "z"});
    host_.answers = {Answer::Yes};
    const State before = Snapshot();
    const struct {
        const char* name;
        std::function<bool()> operation;
        QString path;
    } cases[] = {
        {"open invalid", [&] { return doc_.Open(PathOf("notes.txt")); }, PathOf("notes.txt")},
        {"open cut short", [&] { return doc_.Open(PathOf("cut.dat")); }, PathOf("cut.dat")},
        {"save as", [&] { return doc_.SaveAs(PathOf("plain/s.dat")); }, PathOf("plain/s.dat")},
        {"save", [&] { return doc_.Save(); }, doc_.DefaultPath()},
        {"save on exit", [&] { return doc_.SaveOnExit(); }, doc_.DefaultPath()},
        // Going on to the file dialog after a failed save would throw the edits away.
        {"yes before open", [&] { return doc_.ConfirmBeforeOpen(); }, doc_.DefaultPath()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.operation());
        ExpectOneErrorNaming(c.path);
        EXPECT_EQ(Snapshot(), before);
    }
    // Only an invalid file can be passed over in silence (the start-up cases pass one over).
    EXPECT_FALSE(doc_.LoadSettings(PathOf("cut.dat"), false));
    ExpectOneErrorNaming(PathOf("cut.dat"));
}

// Yes saves the edits before the file dialog: SettingsWindowTest.
TEST_F(SettingsDocumentTest, ConfirmBeforeOpenAsksOnlyWhenModifiedAndCancelStops) {
    EXPECT_TRUE(doc_.ConfirmBeforeOpen()); // nothing modified: no question
    host_.Type(0, SampleProfiles()[0]);
    host_.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(doc_.ConfirmBeforeOpen());
    EXPECT_TRUE(doc_.ConfirmBeforeOpen());
    EXPECT_FALSE(QFileInfo::exists(doc_.Path()));
    EXPECT_TRUE(host_.AnySiteModified());
    ASSERT_EQ(host_.questions.size(), 2u);
    EXPECT_EQ(host_.questions[0], (UserMessage{"Save your current FTP preferences?", "Save FTP Preferences",
                                               MessageIcon::Question, MessageButtons::YesNoCancel}));
}

// Start-up: the named file, else the default one, created or rewritten when it does not load.
TEST(SettingsDocumentStartUp, FallsBackToTheDefaultFileAndCreatesWhatIsMissing) {
    const std::string sample = SettingsFile::Encode(SampleProfiles(), true);
    const struct {
        const char* named; // "": the preferences name no file
        std::optional<std::string> namedBytes, defaultBytes;
        bool namedBecomesCurrent;
        std::size_t messages;
        bool loadsSample; // otherwise the current file is made of seven empty sites
    } cases[] = {
        {"", {}, {}, false, 0, false}, // first start
        {"", {}, sample, false, 0, true},
        {"", {}, "garbage", false, 1, false},
        {"new.dat", {}, {}, true, 0, false},
        {"missing-folder/new.dat", {}, {}, false, 1, false},
        {"named.dat", "not settings", {}, false, 1, false},
        {"named.dat", "not settings", sample, false, 1, true},
        {"named.dat", "not settings", "garbage", false, 1, false}, // the default is replaced silently
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.named << " / " << c.defaultBytes.value_or("no default"));
        QTemporaryDir dir;
        FakeHost host;
        SettingsDocument doc(host, dir.filePath("default/TDWL23Settings.dat"));
        ASSERT_TRUE(QDir().mkpath(dir.filePath("default")));
        const QString named = dir.filePath(c.named);
        if (c.namedBytes) {
            WriteBytes(named, *c.namedBytes);
        }
        if (c.defaultBytes) {
            WriteBytes(doc.DefaultPath(), *c.defaultBytes);
        }
        doc.SetPath(*c.named ? named : QString());

        doc.OpenAtStartUp();
        EXPECT_EQ(doc.Path(), c.namedBecomesCurrent ? named : doc.DefaultPath());
        EXPECT_EQ(host.messages.size(), c.messages);
        EXPECT_EQ(ReadBytes(doc.Path()), c.loadsSample ? sample : SettingsFile::Encode(SiteProfiles{}, true));
        EXPECT_EQ(host.profiles, c.loadsSample ? SampleProfiles() : SiteProfiles{});
        // Loading leaves the sites it changed marked.
        EXPECT_EQ(host.AnySiteModified(), c.loadsSample);
        if (c.namedBytes) {
            EXPECT_EQ(ReadBytes(named), *c.namedBytes);
        }
        if (c.namedBecomesCurrent) {
            EXPECT_FALSE(QFileInfo::exists(doc.DefaultPath()));
        }
    }
}

} // namespace
} // namespace tidewell

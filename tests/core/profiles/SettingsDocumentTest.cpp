#include "core/profiles/SettingsDocument.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

namespace tidewell {
namespace {

using testing::ReadBytes;
using testing::SampleProfiles;
using testing::WriteBytes;

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
            modified[i] = modified[i] || fields[i] != p[i];
        }
        profiles = fields = p;
    }
    bool AnySiteModified() const override { return std::ranges::find(modified, true) != modified.end(); }
    void ClearSiteModified() override { modified.fill(false); }
    void SetTitle(const QString& t) override { title = t; }
    bool SavePasswords() const override { return savePasswords; }
    void ShowMessage(const UserMessage& message) override { messages.push_back(message); }
    Answer Ask(const UserMessage& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question " << question.text.toStdString();
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
        QString title, path;
        int logOuts;
        bool operator==(const State&) const = default;
    };
    State Snapshot() const {
        return {host_.profiles, host_.fields, host_.modified, host_.title, doc_.Path(), host_.logOuts};
    }

    void ExpectOneErrorNaming(const QString& path) {
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_TRUE(host_.messages[0].text.startsWith("File \"" + path + "\" "))
            << host_.messages[0].text.toStdString();
        host_.messages.clear();
    }

    QTemporaryDir dir_;
    FakeHost host_;
    SettingsDocument doc_{host_, PathOf("default/TDWL23Settings.dat")};
};

TEST_F(SettingsDocumentTest, SaveWritesTheProfilesOrWithPullWhatTheFieldsShow) {
    host_.profiles = SampleProfiles();
    host_.Type(1, {"typed", "", "", ""});
    ASSERT_TRUE(doc_.SaveSettings(PathOf("a.dat"), false));
    EXPECT_EQ(ReadBytes(PathOf("a.dat")), SettingsFile::Encode(SampleProfiles(), true));

    ASSERT_TRUE(doc_.SaveSettings(PathOf("a.dat"), true));
    EXPECT_EQ(ReadBytes(PathOf("a.dat")), SettingsFile::Encode(host_.fields, true));
    EXPECT_EQ(host_.profiles, host_.fields);
}

TEST_F(SettingsDocumentTest, SaveWithPasswordsOffDropsThemFromFileAndMemoryButNotFromTheFields) {
    host_.savePasswords = false;
    host_.fields = SampleProfiles();
    SiteProfiles withoutPasswords = SampleProfiles();
    withoutPasswords[0].password = withoutPasswords[6].password = "";
    ASSERT_TRUE(doc_.SaveSettings(PathOf("a.dat"), true));
    EXPECT_EQ(ReadBytes(PathOf("a.dat")), SettingsFile::Encode(withoutPasswords, true));
    EXPECT_EQ(host_.profiles, withoutPasswords);
    EXPECT_EQ(host_.fields, SampleProfiles());
}

TEST_F(SettingsDocumentTest, OpenMakesTheFileCurrentClearsTheMarkerAndLogsOut) {
    ASSERT_EQ(SettingsFile::Save(PathOf("b.dat"), SampleProfiles(), true).status, SettingsStatus::Ok);
    host_.modified[5] = true;
    ASSERT_TRUE(doc_.Open(PathOf("b.dat")));
    EXPECT_EQ(doc_.Path(), PathOf("b.dat"));
    EXPECT_EQ(host_.title, "Tidewell - [" + PathOf("b.dat") + "]");
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(host_.logOuts, 1);
    EXPECT_EQ(host_.profiles, SampleProfiles());
}

TEST_F(SettingsDocumentTest, FilesThatDoNotLoadChangeNothingAndOnlyAnInvalidOneCanBeSilent) {
    const struct {
        const char* name;
        std::optional<std::string> bytes; // none: no such file
        bool silentWhenAsked;
    } cases[] = {
        {"notes.txt", "Tidewell is nice\n", true},
        {"cut.dat", SettingsFile::Encode(SampleProfiles(), true).substr(0, 30), false},
        {"nowhere.dat", std::nullopt, false},
    };
    doc_.SetPath(PathOf("current.dat"));
    host_.profiles = host_.fields = SampleProfiles();
    host_.modified[2] = true;
    const State before = Snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes) {
            WriteBytes(PathOf(c.name), *c.bytes);
        }
        EXPECT_FALSE(doc_.LoadSettings(PathOf(c.name), false));
        EXPECT_EQ(host_.messages.size(), c.silentWhenAsked ? 0u : 1u);
        host_.messages.clear();
        EXPECT_FALSE(doc_.Open(PathOf(c.name)));
        ExpectOneErrorNaming(PathOf(c.name));
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(SettingsDocumentTest, ConfirmBeforeOpenAsksWhenModifiedAndGoesOnUnlessCancelledOrTheSaveFails) {
    EXPECT_TRUE(doc_.ConfirmBeforeOpen()); // nothing modified: no question

    host_.Type(0, SampleProfiles()[0]);
    host_.answers = {Answer::Cancel, Answer::No, Answer::Yes, Answer::Yes};
    const State before = Snapshot();
    EXPECT_FALSE(doc_.ConfirmBeforeOpen());
    EXPECT_TRUE(doc_.ConfirmBeforeOpen());
    EXPECT_FALSE(QFileInfo::exists(doc_.Path()));
    // The default folder does not exist yet, so the first Yes cannot save.
    EXPECT_FALSE(doc_.ConfirmBeforeOpen());
    ExpectOneErrorNaming(doc_.Path());
    EXPECT_EQ(Snapshot(), before);

    ASSERT_TRUE(QDir().mkpath(PathOf("default")));
    EXPECT_TRUE(doc_.ConfirmBeforeOpen());
    EXPECT_EQ(SettingsFile::Load(doc_.Path()).profiles[0], SampleProfiles()[0]);
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(host_.title, SettingsDocument::PlainTitle(doc_.Path()));
    ASSERT_EQ(host_.questions.size(), 4u);
    EXPECT_EQ(host_.questions[0], (UserMessage{"Save your current FTP preferences?", "Save FTP Preferences",
                                               MessageIcon::Question}));
}

TEST_F(SettingsDocumentTest, SaveAndSaveAsClearTheMarkerWhenTheyWorkAndChangeNothingWhenTheyFail) {
    WriteBytes(PathOf("plain"), "a file where a folder should be");
    host_.savePasswords = false; // a successful save would drop the passwords in memory
    host_.profiles = SampleProfiles();
    host_.Type(0, {"new", "x", "y", "z"});
    const State before = Snapshot();
    EXPECT_FALSE(doc_.SaveAs(PathOf("plain/s.dat")));
    ExpectOneErrorNaming(PathOf("plain/s.dat"));
    EXPECT_FALSE(doc_.Save()); // default folder missing
    ExpectOneErrorNaming(doc_.DefaultPath());
    EXPECT_FALSE(doc_.SaveOnExit());
    ExpectOneErrorNaming(doc_.DefaultPath());
    EXPECT_EQ(Snapshot(), before);

    ASSERT_TRUE(QDir().mkpath(PathOf("default")));
    host_.savePasswords = true;
    host_.fields = SampleProfiles();
    ASSERT_TRUE(doc_.Save());
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(host_.title, SettingsDocument::PlainTitle(doc_.DefaultPath()));
    host_.Type(1, {"two", "", "", ""});
    ASSERT_TRUE(doc_.SaveAs(PathOf("other.dat")));
    EXPECT_EQ(doc_.Path(), PathOf("other.dat"));
    EXPECT_EQ(host_.title, "Tidewell - [" + PathOf("other.dat") + "]");
    EXPECT_FALSE(host_.AnySiteModified());
    EXPECT_EQ(SettingsFile::Load(PathOf("other.dat")).profiles, host_.fields);
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

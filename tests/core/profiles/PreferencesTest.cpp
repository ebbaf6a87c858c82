#include "core/profiles/Preferences.h"

#include "core/profiles/DataLocations.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace std::string_literals;
using testing::TemporaryHome;
using testing::WriteBytes;

const QString kDefault = QStringLiteral("/data/Tidewell/TDWL23Settings.dat");

class PreferencesTest : public ::testing::Test {
protected:
    QString ConfigFile() const { return home_.Path() + "/config/Orvane/Tidewell.conf"; }

    TemporaryHome home_;
};

TEST_F(PreferencesTest, TheStoreIsOrvaneTidewellConfUnderTheXdgConfigHome) {
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), ConfigFile());
    // Followed at each call, not fixed at the first one.
    home_.Set("XDG_CONFIG_HOME", home_.File("elsewhere"));
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), home_.Path() + "/elsewhere/Orvane/Tidewell.conf");
    // Unset or relative: ~/.config.
    for (const std::optional<QString>& value :
         {std::optional<QString>(), std::optional<QString>("relative/dir")}) {
        home_.Set("XDG_CONFIG_HOME", value);
        EXPECT_EQ(PreferencesStore::DefaultConfigFile(), home_.Path() + "/.config/Orvane/Tidewell.conf");
    }
}

TEST_F(PreferencesTest, FirstRunGivesTheDefaultsAndClosingWritesAllFourValues) {
    const PreferencesStore store;
    const Preferences loaded = store.Load(kDefault);
    EXPECT_EQ(loaded, (Preferences{"", kDefault, true, true}));
    EXPECT_FALSE(QFileInfo::exists(ConfigFile())); // reading creates nothing

    store.Save(loaded);
    const std::string text = testing::ReadBytes(ConfigFile());
    for (const std::string& line : {"Path=\n"s, "SettingsPath=" + kDefault.toStdString() + "\n",
                                    "Tooltips=1\n"s, "SavePasswords=1\n"s}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
    }
}

TEST_F(PreferencesTest, MissingOrOddValuesAndOnlyAStoredZeroTurnsAToggleOff) {
    const struct {
        const char* stored;
        Preferences expected;
    } cases[] = {
        {"Tooltips=0\n", {"", kDefault, false, true}},
        {"Tooltips=2\nSavePasswords=0\n", {"", kDefault, true, false}},
        {"Tooltips=\nSavePasswords=off\n", {"", kDefault, true, true}},
        {"Path=/downloads\nSettingsPath=\n", {"/downloads", kDefault, true, true}},
        {"Path=/dl\\0junk\n", {"/dl", kDefault, true, true}}, // a stored text ends at its first zero
    };
    for (const auto& c : cases) {
        WriteBytes(ConfigFile(), std::string("[General]\n") + c.stored);
        EXPECT_EQ(PreferencesStore().Load(kDefault), c.expected) << c.stored;
    }
}

TEST_F(PreferencesTest, AStoreThatCannotBeWrittenIsSilentAndKeepsTheDefaults) {
    WriteBytes(home_.File("plain"), "a file where a folder should be");
    const PreferencesStore store(home_.File("plain/Orvane/Tidewell.conf"));
    store.Save({"/dl", "/s.dat", false, false});
    EXPECT_EQ(store.Load(kDefault), (Preferences{"", kDefault, true, true}));
}

TEST(DataLocationsTest, TheDataFolderFollowsXdgDataHomeAndIsCreatedOnDemand) {
    TemporaryHome home;
    EXPECT_EQ(DefaultSettingsPath(), home.Path() + "/data/Tidewell/TDWL23Settings.dat");
    EXPECT_FALSE(QFileInfo::exists(DataFolder()));
    EXPECT_TRUE(EnsureDataFolder());
    EXPECT_TRUE(QFileInfo(DataFolder()).isDir());

    home.Set("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(DataFolder(), home.Path() + "/.local/share/Tidewell");
    // A file where the folder should be.
    WriteBytes(home.File("plain"), "x");
    home.Set("XDG_DATA_HOME", home.File("plain"));
    EXPECT_FALSE(EnsureDataFolder());
}

} // namespace
} // namespace tidewell

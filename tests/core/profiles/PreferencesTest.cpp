#include "core/profiles/Preferences.h"

#include "core/profiles/DataLocations.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using testing::TemporaryHome;
using testing::WriteBytes;

const QString kDefault = QStringLiteral("/data/Tidewell/TDWL23Settings.dat");

class PreferencesTest : public ::testing::Test {
protected:
    QString ConfigFile() const { return home_.Path() + "/config/Orvane/Tidewell.conf"; }

    TemporaryHome home_;
};

// Both folders are worked out at each call, so a changed environment is followed.
TEST_F(PreferencesTest, TheStoreAndTheDataFolderFollowTheXdgVariables) {
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), ConfigFile());
    EXPECT_EQ(DefaultSettingsPath(), home_.Path() + "/data/Tidewell/TDWL23Settings.dat");
    EXPECT_FALSE(QFileInfo::exists(DataFolder()));
    EXPECT_TRUE(EnsureDataFolder());
    EXPECT_TRUE(QFileInfo(DataFolder()).isDir());

    // Relative or unset: below the home folder.
    home_.Set("XDG_CONFIG_HOME", "relative/dir");
    home_.Set("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), home_.Path() + "/.config/Orvane/Tidewell.conf");
    EXPECT_EQ(DataFolder(), home_.Path() + "/.local/share/Tidewell");
}

TEST_F(PreferencesTest, MissingOrOddValuesAndOnlyAStoredZeroTurnsAToggleOff) {
    EXPECT_EQ(PreferencesStore().Load(kDefault), (Preferences{"", kDefault, true, true}));
    EXPECT_FALSE(QFileInfo::exists(ConfigFile())); // reading creates nothing
    const struct {
        const char* stored;
        Preferences expected;
    } cases[] = {
        {"Tooltips=2\nSavePasswords=0\n", {"", kDefault, true, false}},
        {"Tooltips=\nSavePasswords=off\n", {"", kDefault, true, true}},
        {"Path=/downloads\nSettingsPath=\n", {"/downloads", kDefault, true, true}},
        {"Path=/dl\\0junk\nSettingsPath=/s.dat\n",
         {"/dl", "/s.dat", true, true}}, // a text ends at its first zero
        // The connections a run may use: 1 to 10, the default for what is no number.
        {"Connections=12\n", {"", kDefault, true, true, 10}},
        {"Connections=0\n", {"", kDefault, true, true, 1}},
        {"Connections=two\n", {"", kDefault, true, true, 4}},
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

} // namespace
} // namespace tidewell

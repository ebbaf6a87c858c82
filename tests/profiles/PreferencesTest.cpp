#include "profiles/Preferences.h"

#include "profiles/DataLocations.h"
#include "profiles/ScopedEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using testing::TemporaryHome;

const QString kDefault = QStringLiteral("/data/Tidewell/TDWL23Settings.dat");

void WriteText(const QString& path, const QByteArray& text) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray ReadText(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class PreferencesTest : public ::testing::Test {
protected:
    QString ConfigFile() const { return home_.Path() + "/config/Orvane/Tidewell.conf"; }

    TemporaryHome home_;
};

TEST_F(PreferencesTest, TheStoreIsOrvaneTidewellConfUnderTheXdgConfigHome) {
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), ConfigFile());
    // Followed at each call, not fixed at the first one.
    home_.Environment().Set("XDG_CONFIG_HOME", (home_.Path() + "/elsewhere").toLocal8Bit());
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), home_.Path() + "/elsewhere/Orvane/Tidewell.conf");
    // Unset or relative: ~/.config.
    home_.Environment().Unset("XDG_CONFIG_HOME");
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), home_.Path() + "/.config/Orvane/Tidewell.conf");
    home_.Environment().Set("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(PreferencesStore::DefaultConfigFile(), home_.Path() + "/.config/Orvane/Tidewell.conf");
}

TEST_F(PreferencesTest, FirstRunGivesTheDefaultsAndClosingWritesAllFourValues) {
    const PreferencesStore store;
    const Preferences loaded = store.Load(kDefault);
    EXPECT_EQ(loaded, (Preferences{"", kDefault, true, true}));
    EXPECT_FALSE(QFileInfo::exists(ConfigFile())); // reading creates nothing

    store.Save(loaded);
    const QByteArray text = ReadText(ConfigFile());
    EXPECT_TRUE(text.contains("Path=\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("SettingsPath=" + kDefault.toUtf8() + "\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Tooltips=1\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("SavePasswords=1\n")) << text.toStdString();
}

TEST_F(PreferencesTest, TooltipsZeroWithSavePasswordsMissing) {
    WriteText(ConfigFile(), "[General]\nTooltips=0\n");
    const Preferences loaded = PreferencesStore().Load(kDefault);
    EXPECT_FALSE(loaded.tooltipsEnabled);
    EXPECT_TRUE(loaded.savePasswords);
}

TEST_F(PreferencesTest, OnlyAStoredZeroTurnsAToggleOff) {
    WriteText(ConfigFile(), "[General]\nTooltips=2\nSavePasswords=0\n");
    Preferences loaded = PreferencesStore().Load(kDefault);
    EXPECT_TRUE(loaded.tooltipsEnabled);
    EXPECT_FALSE(loaded.savePasswords);

    WriteText(ConfigFile(), "[General]\nTooltips=\nSavePasswords=off\n");
    loaded = PreferencesStore().Load(kDefault);
    EXPECT_TRUE(loaded.tooltipsEnabled);
    EXPECT_TRUE(loaded.savePasswords);
}

TEST_F(PreferencesTest, AnEmptySettingsPathMeansTheDefaultFileWhichIsWrittenBack) {
    WriteText(ConfigFile(), "[General]\nPath=/downloads\nSettingsPath=\n");
    const PreferencesStore store;
    const Preferences loaded = store.Load(kDefault);
    EXPECT_EQ(loaded.settingsPath, kDefault);
    EXPECT_EQ(loaded.downloadFolder, "/downloads");
    store.Save(loaded);
    EXPECT_EQ(store.Load("/other").settingsPath, kDefault);
}

TEST_F(PreferencesTest, StoredTextsEndAtTheirFirstZeroCharacter) {
    WriteText(ConfigFile(), "[General]\nPath=/dl\\0junk\n");
    EXPECT_EQ(PreferencesStore().Load(kDefault).downloadFolder, "/dl");
}

TEST_F(PreferencesTest, EveryValueSurvivesARoundTrip) {
    const PreferencesStore store;
    const Preferences cases[] = {
        {"/home/anna/Downloads", "/home/anna/sites.dat", false, false},
        {"/tmp/a, b; c = d # e", "@odd/[brackets]/path\\with\\backslashes.dat", true, false},
        {"/srv/Über/日本語", "\"quoted\" path.dat", false, true},
    };
    for (const Preferences& preferences : cases) {
        store.Save(preferences);
        EXPECT_EQ(store.Load(kDefault), preferences) << preferences.downloadFolder.toStdString();
    }
}

TEST_F(PreferencesTest, AStoreThatCannotBeWrittenIsSilentAndKeepsTheDefaults) {
    WriteText(home_.File("plain"), "a file where a folder should be");
    const PreferencesStore store(home_.File("plain/Orvane/Tidewell.conf"));
    store.Save({"/dl", "/s.dat", false, false});
    EXPECT_EQ(store.Load(kDefault), (Preferences{"", kDefault, true, true}));
}

TEST(DataLocationsTest, TheDataFolderFollowsXdgDataHomeAndIsCreatedOnDemand) {
    TemporaryHome home;
    EXPECT_EQ(DataFolder(), home.Path() + "/data/Tidewell");
    EXPECT_EQ(DefaultSettingsPath(), home.Path() + "/data/Tidewell/TDWL23Settings.dat");
    EXPECT_FALSE(QFileInfo::exists(DataFolder()));
    EXPECT_TRUE(EnsureDataFolder());
    EXPECT_TRUE(QFileInfo(DataFolder()).isDir());
    EXPECT_TRUE(EnsureDataFolder());

    home.Environment().Unset("XDG_DATA_HOME");
    EXPECT_EQ(DataFolder(), home.Path() + "/.local/share/Tidewell");
}

TEST(DataLocationsTest, AFolderThatCannotBeMadeIsReported) {
    TemporaryHome home;
    WriteText(home.File("plain"), "x");
    home.Environment().Set("XDG_DATA_HOME", home.File("plain").toLocal8Bit());
    EXPECT_FALSE(EnsureDataFolder());
}

} // namespace
} // namespace tidewell

// Its own process: QSettings fixes its user folder at its first use.
#include "core/profiles/Preferences.h"

#include "support/TestFiles.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(PreferencesLocation, MatchesTheNativeUserStoreOfQtSettings) {
    testing::TemporaryHome home;
    const QSettings native(QSettings::NativeFormat, QSettings::UserScope, "Orvane", "Tidewell");
    EXPECT_EQ(native.fileName(), PreferencesStore::DefaultConfigFile()); // its path: PreferencesTest
}

} // namespace
} // namespace tidewell

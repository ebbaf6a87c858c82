#pragma once

#include <QString>

namespace tidewell {

inline constexpr const char* kDefaultSettingsFileName = "TDWL23Settings.dat";

// The per-user folder that holds the default settings file:
// $XDG_DATA_HOME/Tidewell, ~/.local/share/Tidewell when that is unset.
// Read from the environment at each call.
QString DataFolder();
// Creates the data folder when it is missing; false if it cannot be made.
bool EnsureDataFolder();
QString DefaultSettingsPath();

// An XDG base directory: the variable when it holds an absolute path, else
// the fall-back below the home folder.
QString XdgBaseDirectory(const char* variable, const QString& homeFallback);

} // namespace tidewell

#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace tidewell {

// The values that outlive a run, as the program uses them.
struct Preferences {
    static constexpr int kMaxConnections = 10;

    QString downloadFolder; // "Path"; empty when absent
    QString settingsPath;   // "SettingsPath"; the default file when absent or empty
    bool tooltipsEnabled = true;
    bool savePasswords = true;
    int connections = 4; // "Connections": files moved at once, 1..kMaxConnections

    bool operator==(const Preferences&) const = default;
};

// Reads the preferences once at start-up and writes them once at close.
// On Windows the key HKEY_LOCAL_MACHINE\Software\Orvane\Tidewell; elsewhere
// the INI file Orvane/Tidewell.conf in the XDG config home, with the same
// value names: two strings and three 32-bit numbers.
class PreferencesStore {
public:
    // The store the program uses.
    PreferencesStore();
    // An INI file at `iniPath`.
    explicit PreferencesStore(QString iniPath);

    // Orvane/Tidewell.conf under $XDG_CONFIG_HOME (~/.config when unset),
    // worked out at each call so that a changed environment is followed.
    static QString DefaultConfigFile();

    // A missing store or value means its default; a number counts as off
    // only when it reads as 0.
    Preferences Load(const QString& defaultSettingsPath) const;
    // Failures are silent: the previous values stay in place.
    void Save(const Preferences& preferences) const;

private:
    std::unique_ptr<QSettings> Open() const;

    QString iniPath_; // empty: the Windows registry
};

} // namespace tidewell

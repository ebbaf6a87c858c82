#pragma once

#include "core/profiles/SettingsHost.h"

#include <QString>

namespace tidewell {

// The file dialogs of Open and Save As: one filter, and ".dat" added by Save As.
inline constexpr const char* kProfileFileFilter = "Tidewell Profile Files (*.dat)";
inline constexpr const char* kProfileFileSuffix = "dat";

// The current settings file and the File menu's profile
// commands. A failed load or save is reported and leaves the path, the
// profiles, the modified flags and the title as they were.
class SettingsDocument {
public:
    SettingsDocument(SettingsHost& host, QString defaultPath);

    const QString& Path() const { return settingsPath_; }
    const QString& DefaultPath() const { return defaultPath_; }
    // The path named by the preferences; an empty one means the default file.
    void SetPath(const QString& path);

    void ShowPlainTitle();

    // Writes the seven profiles to `path`; with `pullFirst` what the fields
    // show is saved. With Save Passwords off, the passwords are written empty
    // and dropped from memory too (the fields keep them until the next push).
    bool SaveSettings(const QString& path, bool pullFirst);
    // Reads `path` into the panes. `showMessages` governs the invalid-file
    // message only; a file that cannot be read or is cut short is always
    // reported.
    bool LoadSettings(const QString& path, bool showMessages);
    // Loads the current file, or creates it from the profiles in memory when
    // it does not exist. False when it exists and does not load, or cannot be
    // created.
    bool LoadOrCreateSettings(bool showMessages);

    // Start-up: the current file, or else the default one, created or
    // rewritten with the (still empty) profiles when it does not load.
    // The modified flags that loading sets are left alone.
    void OpenAtStartUp();

    // Open command, first step: offers to save unsaved edits. False when the
    // user cancels or the save fails; the command then stops.
    bool ConfirmBeforeOpen();
    // Open command, after the file dialog: loads `chosenPath` and makes it
    // current. On failure the previous file stays current.
    bool Open(const QString& chosenPath);
    bool Save();
    // Save As command, after the file dialog: the path changes only when the
    // save succeeds.
    bool SaveAs(const QString& chosenPath);
    // Tear-down, when the user chose to save at the exit question.
    bool SaveOnExit() { return SaveSettings(settingsPath_, true); }

private:
    bool SaveAndClear(const QString& path);

    SettingsHost& host_;
    QString defaultPath_;
    QString settingsPath_;
};

} // namespace tidewell

#include "core/profiles/SettingsDocument.h"

#include <QFileInfo>

#include <utility>

namespace tidewell {

SettingsDocument::SettingsDocument(SettingsHost& host, QString defaultPath)
    : host_(host), defaultPath_(std::move(defaultPath)), settingsPath_(defaultPath_) {}

void SettingsDocument::SetPath(const QString& path) {
    settingsPath_ = path.isEmpty() ? defaultPath_ : path;
}

void SettingsDocument::ShowPlainTitle() {
    host_.ShowPlainTitle(settingsPath_);
}

bool SettingsDocument::SaveSettings(const QString& path, bool pullFirst) {
    const SiteProfiles profiles = pullFirst ? host_.FieldProfiles() : host_.Profiles();
    const bool savePasswords = host_.SavePasswords();
    const SaveResult saved = SettingsFile::Save(path, profiles, savePasswords);
    if (saved.status != SettingsStatus::Ok) {
        host_.ShowMessage(SettingsFile::FailureMessage(saved.status, path, saved.reason));
        return false;
    }
    host_.SetProfiles(savePasswords ? profiles : SettingsFile::WithoutPasswords(profiles));
    return true;
}

bool SettingsDocument::LoadSettings(const QString& path, bool showMessages) {
    LoadResult loaded = SettingsFile::Load(path);
    if (loaded.status != SettingsStatus::Ok) {
        if (showMessages || loaded.status != SettingsStatus::NotSettingsFile) {
            host_.ShowMessage(SettingsFile::FailureMessage(loaded.status, path, loaded.reason));
        }
        return false;
    }
    host_.ShowLoadedProfiles(loaded.profiles);
    return true;
}

bool SettingsDocument::LoadOrCreateSettings(bool showMessages) {
    if (QFileInfo::exists(settingsPath_)) {
        return LoadSettings(settingsPath_, showMessages);
    }
    return SaveSettings(settingsPath_, false) && LoadSettings(settingsPath_, true);
}

void SettingsDocument::OpenAtStartUp() {
    if (LoadOrCreateSettings(true)) {
        return;
    }
    // Trying the default file a second time would only repeat its message.
    if (settingsPath_ != defaultPath_) {
        settingsPath_ = defaultPath_;
        if (LoadOrCreateSettings(false)) {
            return;
        }
    }
    if (SaveSettings(settingsPath_, false)) {
        LoadSettings(settingsPath_, true);
    }
}

bool SettingsDocument::ConfirmBeforeOpen() {
    if (!host_.AnySiteModified()) {
        return true;
    }
    switch (host_.Ask({"Save your current FTP preferences?", "Save FTP Preferences", MessageIcon::Question,
                       MessageButtons::YesNoCancel})) {
    case Answer::Yes:
        // Going on after a failed save would throw the edits away.
        return SaveAndClear(settingsPath_);
    case Answer::No:
        return true;
    default:
        return false;
    }
}

bool SettingsDocument::Open(const QString& chosenPath) {
    if (!LoadSettings(chosenPath, true)) {
        return false;
    }
    settingsPath_ = chosenPath;
    host_.ClearSiteModified();
    ShowPlainTitle();
    return true;
}

bool SettingsDocument::Save() {
    return SaveAndClear(settingsPath_);
}

bool SettingsDocument::SaveAs(const QString& chosenPath) {
    return SaveAndClear(chosenPath);
}

bool SettingsDocument::SaveAndClear(const QString& path) {
    if (!SaveSettings(path, true)) {
        return false;
    }
    settingsPath_ = path;
    host_.ClearSiteModified();
    ShowPlainTitle();
    return true;
}

} // namespace tidewell

#pragma once

#include "core/profiles/SettingsHost.h"

namespace tidewell {

class MainDialog;

// The main window as the settings commands see it: the seven panes, their
// modified flags, the title, the Save Passwords toggle and the message boxes.
class SiteProfilesHost : public SettingsHost {
public:
    explicit SiteProfilesHost(MainDialog& dialog) : dialog_(dialog) {}

    SiteProfiles Profiles() const override;
    SiteProfiles FieldProfiles() const override;
    void SetProfiles(const SiteProfiles& profiles) override;
    void ShowLoadedProfiles(const SiteProfiles& profiles) override;

    bool AnySiteModified() const override;
    void ClearSiteModified() override;
    void SetTitle(const QString& title) override;
    bool SavePasswords() const override;

    void ShowMessage(const UserMessage& message) override;
    Answer Ask(const UserMessage& question) override;

private:
    MainDialog& dialog_;
};

} // namespace tidewell

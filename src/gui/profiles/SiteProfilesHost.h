#pragma once

#include "core/profiles/SettingsHost.h"

#include <functional>

class QWidget;

namespace tidewell {

class SiteProfileSet;
class SitePanes;

// The window side of the settings commands: the profiles and their panes, the
// title, and message boxes over the window.
class SiteProfilesHost : public SettingsHost {
public:
    // logOut: ends the session before loaded profiles replace the sites.
    SiteProfilesHost(SiteProfileSet& sites, SitePanes& panes, QWidget* window, std::function<void()> logOut);

    SiteProfiles Profiles() const override;
    SiteProfiles FieldProfiles() const override;
    void SetProfiles(const SiteProfiles& profiles) override;
    void ShowLoadedProfiles(const SiteProfiles& profiles) override;

    bool AnySiteModified() const override;
    void ClearSiteModified() override;
    void ShowPlainTitle(const QString& path) override;
    bool SavePasswords() const override;

    void ShowMessage(const UserMessage& message) override;
    Answer Ask(const UserMessage& question) override;

private:
    SiteProfileSet& sites_;
    SitePanes& panes_;
    QWidget* window_;
    std::function<void()> logOut_;
};

} // namespace tidewell

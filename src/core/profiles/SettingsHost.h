#pragma once

#include "core/app/MessageTypes.h"
#include "core/profiles/SettingsFile.h"

#include <QString>

namespace tidewell {

// What the settings commands need of the window: the site profiles and what
// the panes' fields show, the title, the Save Passwords toggle and the
// message boxes. Each method is one step the document cannot do itself.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;

    // The seven profiles held by the panes, without reading their fields.
    virtual SiteProfiles Profiles() const = 0;
    // The seven profiles as the fields show them now (what a pull would give);
    // nothing is stored.
    virtual SiteProfiles FieldProfiles() const = 0;
    // Replaces the profiles held by the panes; the fields keep their text and
    // no pane is marked modified.
    virtual void SetProfiles(const SiteProfiles& profiles) = 0;
    // After a successful load: log out (ShowLoggedOut, then Disconnect), set
    // the profiles and push them into the fields. The fields whose text
    // changes mark their panes modified, as typing would.
    virtual void ShowLoadedProfiles(const SiteProfiles& profiles) = 0;

    virtual bool AnySiteModified() const = 0;
    virtual void ClearSiteModified() = 0;
    // The title without the unsaved-edits marker, for the settings file at path.
    virtual void ShowPlainTitle(const QString& path) = 0;
    // State of the "Save &Passwords" menu toggle.
    virtual bool SavePasswords() const = 0;

    virtual void ShowMessage(const UserMessage& message) = 0;
    // A Yes / No / Cancel question.
    virtual Answer Ask(const UserMessage& question) = 0;
};

} // namespace tidewell

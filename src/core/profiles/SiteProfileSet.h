#pragma once

#include "core/profiles/SettingsFile.h"

#include <QString>

#include <array>
#include <cstddef>
#include <functional>

namespace tidewell {

// The seven site profiles, which of them hold unsaved edits, and the window
// title with its unsaved-edits marker: "Tidewell - [path]", and
// "Tidewell - [path *]" once something was edited.
class SiteProfileSet {
public:
    const SiteProfile& Profile(std::size_t site) const { return profiles_.at(site); }
    void SetProfile(std::size_t site, SiteProfile profile) { profiles_.at(site) = std::move(profile); }
    const SiteProfiles& All() const { return profiles_; }
    void SetAll(const SiteProfiles& profiles) { profiles_ = profiles; }

    bool IsModified(std::size_t site) const { return modified_.at(site); }
    bool AnyModified() const;
    // An edit of the site: flagged, and the title marked.
    void MarkModified(std::size_t site);
    // The Save Passwords choice changed. It is offered for saving with the
    // first site; the title is marked only when no site was flagged before.
    void MarkPasswordChoiceChanged();
    void ClearModified() { modified_.fill(false); }

    // Whether passwords are saved with the sites (and so whether editing one
    // is an edit of its site).
    bool SavePasswords() const { return savePasswords_; }
    void SetSavePasswords(bool save) { savePasswords_ = save; }

    const QString& Title() const { return title_; }
    void ShowPlainTitle(const QString& settingsPath);
    // Told every new title.
    void OnTitleChanged(std::function<void(const QString&)> listener) { titleChanged_ = std::move(listener); }

private:
    void MarkTitle();
    void SetTitle(QString title);

    SiteProfiles profiles_{};
    std::array<bool, kSiteCount> modified_{};
    QString title_;
    bool marked_ = false;
    bool savePasswords_ = true;
    std::function<void(const QString&)> titleChanged_;
};

} // namespace tidewell

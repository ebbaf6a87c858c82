#include "gui/profiles/SiteProfilesHost.h"

#include "core/profiles/SiteProfileSet.h"
#include "gui/profiles/SitePanes.h"
#include "gui/ui/MessageBox.h"

namespace tidewell {

SiteProfilesHost::SiteProfilesHost(SiteProfileSet& sites, SitePanes& panes, QWidget* window,
                                   std::function<void()> logOut)
    : sites_(sites), panes_(panes), window_(window), logOut_(std::move(logOut)) {}

SiteProfiles SiteProfilesHost::Profiles() const {
    return sites_.All();
}

SiteProfiles SiteProfilesHost::FieldProfiles() const {
    return panes_.FieldProfiles();
}

void SiteProfilesHost::SetProfiles(const SiteProfiles& profiles) {
    sites_.SetAll(profiles);
}

void SiteProfilesHost::ShowLoadedProfiles(const SiteProfiles& profiles) {
    logOut_();
    sites_.SetAll(profiles);
    panes_.PushAll();
}

bool SiteProfilesHost::AnySiteModified() const {
    return sites_.AnyModified();
}

void SiteProfilesHost::ClearSiteModified() {
    sites_.ClearModified();
}

void SiteProfilesHost::ShowPlainTitle(const QString& path) {
    sites_.ShowPlainTitle(path);
}

bool SiteProfilesHost::SavePasswords() const {
    return sites_.SavePasswords();
}

void SiteProfilesHost::ShowMessage(const UserMessage& message) {
    Ask(message);
}

Answer SiteProfilesHost::Ask(const UserMessage& question) {
    return tidewell::ShowMessage(window_, QString::fromStdString(question.text),
                                 QString::fromStdString(question.caption), question.icon, question.buttons);
}

} // namespace tidewell

#include "gui/profiles/SiteProfilesHost.h"

#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"
#include "gui/ui/MessageBox.h"

#include <QLineEdit>

namespace tidewell {
namespace {

std::string FieldText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

SiteProfiles SiteProfilesHost::Profiles() const {
    SiteProfiles profiles;
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        profiles[i] = dialog_.sitePanes[i]->profile;
    }
    return profiles;
}

SiteProfiles SiteProfilesHost::FieldProfiles() const {
    SiteProfiles profiles;
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        const TabPane* pane = dialog_.sitePanes[i];
        profiles[i] = {FieldText(pane->AddressEdit()), FieldText(pane->UsernameEdit()),
                       FieldText(pane->PasswordEdit()), FieldText(pane->DirectoryEdit())};
    }
    return profiles;
}

void SiteProfilesHost::SetProfiles(const SiteProfiles& profiles) {
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        dialog_.sitePanes[i]->profile = profiles[i];
    }
}

void SiteProfilesHost::ShowLoadedProfiles(const SiteProfiles& profiles) {
    dialog_.ShowLoggedOut();
    dialog_.Disconnect();
    SetProfiles(profiles);
    for (TabPane* pane : dialog_.sitePanes) {
        pane->Push();
    }
}

bool SiteProfilesHost::AnySiteModified() const {
    return dialog_.AnySiteModified();
}

void SiteProfilesHost::ClearSiteModified() {
    dialog_.ClearSiteModified();
}

void SiteProfilesHost::SetTitle(const QString& title) {
    dialog_.SetTitle(title);
}

bool SiteProfilesHost::SavePasswords() const {
    return dialog_.savePasswords;
}

void SiteProfilesHost::ShowMessage(const UserMessage& message) {
    tidewell::ShowMessage(&dialog_, message.text, message.caption, message.icon, MessageButtons::Ok);
}

Answer SiteProfilesHost::Ask(const UserMessage& question) {
    switch (tidewell::ShowMessage(&dialog_, question.text, question.caption, question.icon,
                                  MessageButtons::YesNoCancel)) {
    case IdYes:
        return Answer::Yes;
    case IdNo:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace tidewell

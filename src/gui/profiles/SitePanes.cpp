#include "gui/profiles/SitePanes.h"

#include "core/remote/SiteAddress.h"
#include "gui/profiles/TabPane.h"
#include "gui/ui/MessageBox.h"

#include <QLineEdit>

namespace tidewell {

SitePanes::SitePanes(SiteProfileSet& sites, QWidget* parent, QPoint origin) : QObject(parent), sites_(sites) {
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        auto* pane = new TabPane(parent);
        pane->move(origin);
        pane->hide();
        connect(pane, &TabPane::Edited, this, [this, i] { sites_.MarkModified(i); });
        // A password edit counts as a change only when passwords are saved with the sites.
        connect(pane, &TabPane::PasswordEdited, this, [this, i] {
            if (sites_.SavePasswords()) {
                sites_.MarkModified(i);
            }
        });
        panes_[i] = pane;
    }
    Current()->show();
    Current()->raise();
}

void SitePanes::Select(std::size_t site) {
    PullAll();
    for (TabPane* pane : panes_) {
        pane->hide();
    }
    current_ = site;
    Current()->show();
    Current()->raise();
    Current()->setFocus();
}

void SitePanes::PullAll() {
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        sites_.SetProfile(i, panes_[i]->Fields());
    }
}

void SitePanes::PullCurrent() {
    sites_.SetProfile(current_, Current()->Fields());
}

void SitePanes::PushAll() {
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        panes_[i]->ShowProfile(sites_.Profile(i));
    }
}

SiteProfiles SitePanes::FieldProfiles() const {
    SiteProfiles profiles;
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        profiles[i] = panes_[i]->Fields();
    }
    return profiles;
}

void SitePanes::ShowDirectory(const std::string& directory) {
    SiteProfile profile = sites_.Profile(current_);
    profile.directory = directory;
    sites_.SetProfile(current_, std::move(profile));
    Current()->DirectoryEdit()->setText(QString::fromStdString(directory));
}

bool SitePanes::ValidateCurrent(bool showMessages) {
    PullAll();
    const SiteProfile& site = sites_.Profile(current_);
    const char* missing = nullptr;
    QLineEdit* field = nullptr;
    if (site.address.empty()) {
        missing = "You must supply the FTP Internet address";
        field = Current()->AddressEdit();
    } else if (site.username.empty()) {
        missing = "You must supply the FTP username";
        field = Current()->UsernameEdit();
    } else if (site.password.empty() &&
               ParseSiteAddress(site.address).value_or(SiteAddress{}).protocol != Protocol::Sftp) {
        // SFTP without a password logs in with the SSH agent or the user's keys.
        missing = "You must supply the FTP password";
        field = Current()->PasswordEdit();
    } else {
        return true;
    }
    if (showMessages) {
        ShowMessage(Current()->window(), QString::fromLatin1(missing), QStringLiteral("ERROR"),
                    MessageIcon::Exclamation);
        field->setFocus();
    }
    return false;
}

} // namespace tidewell

#pragma once

#include "core/profiles/SettingsDocument.h"
#include "gui/profiles/SiteProfilesHost.h"

#include <QString>

#include <functional>

class QWidget;

namespace tidewell {

// The File menu's profile commands over the settings document: Open, Save,
// Save As, and the settings file's start-up and exit steps. The file dialogs
// start in the folder of the current settings file.
class ProfileCommands {
public:
    ProfileCommands(SiteProfileSet& sites, SitePanes& panes, QWidget* window, std::function<void()> logOut,
                    const QString& defaultPath);

    SettingsDocument& Document() { return document_; }
    const SettingsDocument& Document() const { return document_; }

    void Open();
    void Save() { document_.Save(); }
    void SaveAs();

private:
    QString CurrentFolder() const;

    QWidget* window_;
    SiteProfilesHost host_;
    SettingsDocument document_;
};

} // namespace tidewell

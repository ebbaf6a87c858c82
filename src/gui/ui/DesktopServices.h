#pragma once

#include "gui/ui/ScopedHook.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace tidewell {

// The program's ways into the desktop: opening an address or a folder with the
// desktop's handler, asking which application is registered for a MIME type,
// and starting a program on its own. Each goes through a replaceable hook, so
// that tests never start a real browser or file manager.
struct DesktopHook {
    // QDesktopServices::openUrl: true when the desktop took the address.
    std::function<bool(const QUrl& url)> openUrl;
    // The desktop-file id of the default application for a MIME type
    // ("x-scheme-handler/https", "text/html"), e.g. "firefox.desktop"; empty for none.
    std::function<QString(const QString& mimeType)> defaultApplication;
    // Starts program with arguments, detached from this process; true when it started.
    std::function<bool(const QString& program, const QStringList& arguments)> startDetached;
};

bool OpenDesktopUrl(const QUrl& url);
QString DefaultDesktopApplication(const QString& mimeType);
bool StartDetachedProgram(const QString& program, const QStringList& arguments);

// The path of an installed .desktop file with that id (searched like the
// desktop does: the applications folders of the XDG data home and data dirs,
// "-" in an id standing for a subfolder), or empty.
QString LocateDesktopEntry(const QString& desktopId);

// Replaces the ways into the desktop while it lives, and puts the previous
// ways back when it goes. A member left empty keeps the previous way.
class ScopedDesktopHook : public ScopedHook<DesktopHook> {
public:
    explicit ScopedDesktopHook(DesktopHook hook);
};

} // namespace tidewell

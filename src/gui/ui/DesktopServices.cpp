#include "gui/ui/DesktopServices.h"

#include "core/app/HyperlinkRules.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tidewell {
namespace {

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.read(1 << 20));
}

// xdg-mime's answer, when xdg-utils are installed.
QString AskXdgMime(const QString& mimeType) {
    QProcess process;
    process.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The mimeapps.list files in the order the desktop reads them: the config
// home and config dirs (desktop-specific first), then the applications folders
// of the data home and data dirs (with the older defaults.list).
QStringList MimeAppsLists() {
    QStringList desktops;
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts)) {
        desktops << name.toLower();
    }
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        for (const QString& desktop : desktops) {
            files << dir + u'/' + desktop + QStringLiteral("-mimeapps.list");
        }
        files << dir + QStringLiteral("/mimeapps.list");
    }
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        for (const QString& desktop : desktops) {
            files << dir + u'/' + desktop + QStringLiteral("-mimeapps.list");
        }
        files << dir + QStringLiteral("/mimeapps.list") << dir + QStringLiteral("/defaults.list");
    }
    return files;
}

// Without xdg-utils: the first installed default the lists name.
QString ReadMimeAppsLists(const QString& mimeType) {
    for (const QString& list : MimeAppsLists()) {
        for (const QString& id : hyperlink::MimeAppsDefaults(ReadText(list), mimeType)) {
            if (!LocateDesktopEntry(id).isEmpty()) {
                return id;
            }
        }
    }
    return {};
}

QString FindDefaultApplication(const QString& mimeType) {
    const QString answer = AskXdgMime(mimeType);
    if (!answer.isEmpty() && !LocateDesktopEntry(answer).isEmpty()) {
        return answer;
    }
    return ReadMimeAppsLists(mimeType);
}

DesktopHook& CurrentHook() {
    static DesktopHook hook{
        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
        FindDefaultApplication,
        [](const QString& program, const QStringList& arguments) {
            return QProcess::startDetached(program, arguments);
        },
    };
    return hook;
}

// A member the new hook leaves empty keeps the current way.
DesktopHook KeepingUnsetWays(DesktopHook hook, const DesktopHook& current) {
    if (!hook.openUrl) {
        hook.openUrl = current.openUrl;
    }
    if (!hook.defaultApplication) {
        hook.defaultApplication = current.defaultApplication;
    }
    if (!hook.startDetached) {
        hook.startDetached = current.startDetached;
    }
    return hook;
}

} // namespace

bool OpenDesktopUrl(const QUrl& url) {
    return CurrentHook().openUrl(url);
}

QString DefaultDesktopApplication(const QString& mimeType) {
    return CurrentHook().defaultApplication(mimeType);
}

bool StartDetachedProgram(const QString& program, const QStringList& arguments) {
    return CurrentHook().startDetached(program, arguments);
}

QString LocateDesktopEntry(const QString& desktopId) {
    if (desktopId.isEmpty() || desktopId.contains(u'/')) {
        return {};
    }
    // "vendor-app.desktop" may live as vendor/app.desktop.
    QStringList names{desktopId};
    QString name = desktopId;
    for (qsizetype dash = name.indexOf(u'-'); dash >= 0; dash = name.indexOf(u'-', dash + 1)) {
        name[dash] = u'/';
        names << name;
    }
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        for (const QString& candidate : names) {
            const QString path = dir + u'/' + candidate;
            if (QFileInfo(path).isFile()) {
                return path;
            }
        }
    }
    return {};
}

ScopedDesktopHook::ScopedDesktopHook(DesktopHook hook)
    : ScopedHook(CurrentHook(), KeepingUnsetWays(std::move(hook), CurrentHook())) {}

} // namespace tidewell

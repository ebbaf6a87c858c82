#include "core/profiles/DataLocations.h"

#include <QDir>
#include <QStandardPaths>

namespace tidewell {

QString XdgBaseDirectory(const char* variable, const QString& homeFallback) {
    const QString value = qEnvironmentVariable(variable);
    // The XDG rules ignore relative paths.
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) {
        return QDir::cleanPath(value);
    }
    return QDir::homePath() + QLatin1Char('/') + homeFallback;
}

QString DataFolder() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return XdgBaseDirectory("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/Tidewell");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tidewell");
#endif
}

bool EnsureDataFolder() {
    return QDir().mkpath(DataFolder());
}

QString DefaultSettingsPath() {
    return QDir::toNativeSeparators(DataFolder() + QLatin1Char('/') +
                                    QLatin1String(kDefaultSettingsFileName));
}

} // namespace tidewell

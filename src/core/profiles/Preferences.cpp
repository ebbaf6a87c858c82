#include "core/profiles/Preferences.h"

#include "core/profiles/DataLocations.h"

#include <QSettings>

#include <algorithm>
#include <utility>

namespace tidewell {

namespace {

const QString kPath = QStringLiteral("Path");
const QString kSettingsPath = QStringLiteral("SettingsPath");
const QString kTooltips = QStringLiteral("Tooltips");
const QString kSavePasswords = QStringLiteral("SavePasswords");
const QString kConnections = QStringLiteral("Connections");

// A stored string ends at its first zero character.
QString StoredText(const QVariant& value) {
    const QString text = value.toString();
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    return zero < 0 ? text : text.left(zero);
}

bool StoredFlag(const QSettings& settings, const QString& name) {
    const QVariant value = settings.value(name);
    bool ok = false;
    const qlonglong number = value.isValid() ? value.toLongLong(&ok) : 1;
    return !(ok && number == 0);
}

} // namespace

PreferencesStore::PreferencesStore() {
#ifndef Q_OS_WIN
    iniPath_ = DefaultConfigFile();
#endif
}

PreferencesStore::PreferencesStore(QString iniPath) : iniPath_(std::move(iniPath)) {}

QString PreferencesStore::DefaultConfigFile() {
    return XdgBaseDirectory("XDG_CONFIG_HOME", QStringLiteral(".config")) +
           QStringLiteral("/Orvane/Tidewell.conf");
}

std::unique_ptr<QSettings> PreferencesStore::Open() const {
    if (iniPath_.isEmpty()) {
        return std::make_unique<QSettings>(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Orvane\\Tidewell"),
                                           QSettings::NativeFormat);
    }
    return std::make_unique<QSettings>(iniPath_, QSettings::IniFormat);
}

Preferences PreferencesStore::Load(const QString& defaultSettingsPath) const {
    const auto settings = Open();
    Preferences preferences;
    preferences.downloadFolder = StoredText(settings->value(kPath));
    preferences.settingsPath = StoredText(settings->value(kSettingsPath));
    if (preferences.settingsPath.isEmpty()) {
        preferences.settingsPath = defaultSettingsPath;
    }
    preferences.tooltipsEnabled = StoredFlag(*settings, kTooltips);
    preferences.savePasswords = StoredFlag(*settings, kSavePasswords);
    bool ok = false;
    const int connections = settings->value(kConnections).toInt(&ok);
    if (ok) {
        preferences.connections = std::clamp(connections, 1, Preferences::kMaxConnections);
    }
    return preferences;
}

void PreferencesStore::Save(const Preferences& preferences) const {
    const auto settings = Open();
    settings->setValue(kPath, preferences.downloadFolder);
    settings->setValue(kSettingsPath, preferences.settingsPath);
    // Plain ints: the registry stores them as DWORD values.
    settings->setValue(kTooltips, preferences.tooltipsEnabled ? 1 : 0);
    settings->setValue(kSavePasswords, preferences.savePasswords ? 1 : 0);
    settings->setValue(kConnections, preferences.connections);
    settings->sync();
}

} // namespace tidewell

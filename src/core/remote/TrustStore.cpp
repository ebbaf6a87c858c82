#include "core/remote/TrustStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <vector>

namespace tidewell {

namespace {

struct Entry {
    std::string host;
    std::uint16_t port = 0;
    std::string sha256;
};

std::vector<Entry> ReadEntries(const QString& path) {
    std::vector<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return entries;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        const uint port = fields.size() == 3 ? fields[1].toUInt(&ok) : 0;
        if (ok && port <= 65535) {
            entries.push_back(
                {fields[0].toStdString(), static_cast<std::uint16_t>(port), fields[2].toStdString()});
        }
    }
    return entries;
}

} // namespace

QString TrustStore::PathBeside(const QString& settingsPath) {
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("TrustedCertificates.txt"));
}

QString TrustStore::HostKeysBeside(const QString& settingsPath) {
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("TrustedHostKeys.txt"));
}

std::optional<std::string> TrustStore::Trusted(const std::string& host, std::uint16_t port) const {
    for (const Entry& entry : ReadEntries(path_)) {
        if (entry.host == host && entry.port == port) {
            return entry.sha256;
        }
    }
    return std::nullopt;
}

bool TrustStore::Remember(const std::string& host, std::uint16_t port, const std::string& sha256) const {
    // A host name with a blank or a line break would break the line format.
    if (host.find_first_of(" \r\n") != std::string::npos ||
        sha256.find_first_of(" \r\n") != std::string::npos) {
        return false;
    }
    std::vector<Entry> entries = ReadEntries(path_);
    std::erase_if(entries, [&](const Entry& entry) { return entry.host == host && entry.port == port; });
    entries.push_back({host, port, sha256});
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QTextStream out(&file);
    for (const Entry& entry : entries) {
        out << QString::fromStdString(entry.host) << ' ' << entry.port << ' '
            << QString::fromStdString(entry.sha256) << '\n';
    }
    out.flush();
    return file.commit();
}

} // namespace tidewell

#include "core/profiles/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tidewell {

namespace {

constexpr const char* kErrorCaption = "ERROR";

QString Quoted(const QString& path) {
    return QStringLiteral("File \"%1\"").arg(path);
}

#ifdef Q_OS_UNIX
QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The rename itself becomes durable only once the folder's entry is on disk.
void SyncFolderOf(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

std::string SettingsFile::Encode(const SiteProfiles& profiles, bool savePasswords) {
    ArchiveWriter out;
    for (const SiteProfile& profile : profiles) {
        if (savePasswords) {
            WriteProfileRecord(out, profile);
        } else {
            SiteProfile withoutPassword = profile;
            withoutPassword.password.clear();
            WriteProfileRecord(out, withoutPassword);
        }
    }
    std::string bytes(kSettingsHeader);
    bytes += out.Bytes();
    return bytes;
}

DecodeResult SettingsFile::Decode(std::string_view bytes) {
    DecodeResult result;
    if (!bytes.starts_with(kSettingsHeader)) {
        result.status = SettingsStatus::NotSettingsFile;
        return result;
    }
    ArchiveReader in(bytes.substr(kSettingsHeader.size()));
    SiteProfiles profiles;
    for (SiteProfile& profile : profiles) {
        auto record = ReadProfileRecord(in);
        if (!record) {
            result.status = SettingsStatus::CutShort;
            return result;
        }
        profile = std::move(*record);
    }
    result.profiles = std::move(profiles);
    result.trailingBytes = bytes.size() - kSettingsHeader.size() - in.Position();
    return result;
}

SiteProfiles SettingsFile::WithoutPasswords(SiteProfiles profiles) {
    for (SiteProfile& profile : profiles) {
        profile.password.clear();
    }
    return profiles;
}

SaveResult SettingsFile::Save(const QString& path, const SiteProfiles& profiles, bool savePasswords) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {SettingsStatus::CannotCreate, file.errorString()};
    }
    // Owner-only before the first password byte goes in.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return {SettingsStatus::CannotCreate, file.errorString()};
    }
    const std::string bytes = Encode(profiles, savePasswords);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.flush()) {
        return {SettingsStatus::CannotWrite, file.errorString()};
    }
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        return {SettingsStatus::CannotWrite, SystemError(errno)};
    }
#endif
    if (!file.commit()) {
        return {SettingsStatus::CannotWrite, file.errorString()};
    }
#ifdef Q_OS_UNIX
    SyncFolderOf(path);
#endif
    return {};
}

LoadResult SettingsFile::Load(const QString& path) {
    LoadResult result;
    const QFileInfo info(path);
    // Opening a directory fails, and opening a pipe could wait for ever.
    if (info.exists() && !info.isFile()) {
        result.status = SettingsStatus::CannotRead;
        result.reason = QStringLiteral("not a regular file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = SettingsStatus::CannotRead;
        result.reason = file.errorString();
        return result;
    }
    QByteArray bytes = file.read(static_cast<qint64>(kSettingsHeader.size()));
    if (file.error() == QFileDevice::NoError &&
        !std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))
             .starts_with(kSettingsHeader)) {
        result.status = SettingsStatus::NotSettingsFile;
        return result;
    }
    if (file.size() > kMaxSettingsFileSize) {
        result.status = SettingsStatus::TooLarge;
        return result;
    }
    bytes += file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = SettingsStatus::CannotRead;
        result.reason = file.errorString();
        return result;
    }
    DecodeResult decoded =
        SettingsFile::Decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    result.status = decoded.status;
    result.profiles = std::move(decoded.profiles);
    return result;
}

UserMessage SettingsFile::FailureMessage(SettingsStatus status, const QString& path, const QString& reason) {
    QString text;
    switch (status) {
    case SettingsStatus::Ok:
        break;
    case SettingsStatus::NotSettingsFile:
        text = Quoted(path) + QStringLiteral(" is not a valid Tidewell settings file");
        break;
    case SettingsStatus::CutShort:
        text = Quoted(path) +
               QStringLiteral(" is damaged: its site profiles are cut short. Nothing was loaded.");
        break;
    case SettingsStatus::TooLarge:
        text = Quoted(path) +
               QStringLiteral(" is too large to be a Tidewell settings file. Nothing was loaded.");
        break;
    case SettingsStatus::CannotRead:
        text = Quoted(path) + QStringLiteral(" could not be read (%1). Nothing was loaded.").arg(reason);
        break;
    case SettingsStatus::CannotCreate:
        text = Quoted(path) +
               QStringLiteral(" could not be created (%1). The FTP preferences were not saved.").arg(reason);
        break;
    case SettingsStatus::CannotWrite:
        text = Quoted(path) +
               QStringLiteral(" could not be written (%1). The FTP preferences were not saved.").arg(reason);
        break;
    }
    return {text.toStdString(), kErrorCaption, MessageIcon::Stop};
}

} // namespace tidewell

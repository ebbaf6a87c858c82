#pragma once

#include "core/app/MessageTypes.h"
#include "core/profiles/SiteProfile.h"

#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tidewell {

inline constexpr std::size_t kSiteCount = 7;
using SiteProfiles = std::array<SiteProfile, kSiteCount>;

// The 22 characters and their zero byte that open every settings file.
inline constexpr std::string_view kSettingsHeader{"Tidewell V1.3 Settings\0", 23};

// Files are read whole; a real one is a few hundred bytes.
inline constexpr qint64 kMaxSettingsFileSize = 64 * 1024 * 1024;

enum class SettingsStatus {
    Ok,
    NotSettingsFile, // wrong or short header
    CutShort,        // valid header, a record runs past the end of the file
    TooLarge,
    CannotRead,
    CannotCreate,
    CannotWrite,
};

struct DecodeResult {
    SettingsStatus status = SettingsStatus::Ok;
    SiteProfiles profiles{}; // meaningful only when status is Ok
    // Bytes after the seventh record. They are ignored, as every earlier
    // version ignored them, and are gone after the next save.
    std::size_t trailingBytes = 0;
};

struct LoadResult {
    SettingsStatus status = SettingsStatus::Ok;
    SiteProfiles profiles{};
    QString reason; // the system's words for CannotRead
};

struct SaveResult {
    SettingsStatus status = SettingsStatus::Ok;
    QString reason; // the system's words for CannotCreate and CannotWrite
};

// The settings file: a header and the seven profile records, nothing else.
class SettingsFile {
public:
    // With savePasswords off every password is written empty.
    static std::string Encode(const SiteProfiles& profiles, bool savePasswords);
    static DecodeResult Decode(std::string_view bytes);

    // What a save with Save Passwords off leaves in memory: the profiles
    // without their passwords (the fields on screen keep their text).
    static SiteProfiles WithoutPasswords(SiteProfiles profiles);

    // Writes a temporary file beside `path`, readable by its owner only, syncs
    // it and renames it over `path`: a failure leaves an existing file whole.
    static SaveResult Save(const QString& path, const SiteProfiles& profiles, bool savePasswords);
    static LoadResult Load(const QString& path);

    // The message box for a failed load or save of `path`.
    static UserMessage FailureMessage(SettingsStatus status, const QString& path, const QString& reason = {});
};

} // namespace tidewell

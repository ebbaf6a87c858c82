#pragma once

#include "core/profiles/ArchiveString.h"

#include <optional>
#include <string>

namespace tidewell {

// One site of the seven tabs. Texts are UTF-8.
struct SiteProfile {
    std::string address;
    std::string username;
    std::string password; // plain text in memory
    std::string directory;

    bool operator==(const SiteProfile&) const = default;
};

// A profile record: four archive strings (address, username, encoded
// password, directory).
void WriteProfileRecord(ArchiveWriter& out, const SiteProfile& profile);
// std::nullopt when the record is cut short; the reader is then left inside it.
std::optional<SiteProfile> ReadProfileRecord(ArchiveReader& in);

} // namespace tidewell

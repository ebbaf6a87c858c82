#include "core/profiles/SiteProfile.h"

namespace tidewell {

void WriteProfileRecord(ArchiveWriter& out, const SiteProfile& profile) {
    out.WriteString(profile.address);
    out.WriteString(profile.username);
    out.WriteString(EncodePassword(profile.password));
    out.WriteString(profile.directory);
}

std::optional<SiteProfile> ReadProfileRecord(ArchiveReader& in) {
    SiteProfile profile;
    auto address = in.ReadString();
    auto username = address ? in.ReadString() : std::nullopt;
    auto password = username ? in.ReadString() : std::nullopt;
    auto directory = password ? in.ReadString() : std::nullopt;
    if (!directory) {
        return std::nullopt;
    }
    profile.address = std::move(*address);
    profile.username = std::move(*username);
    profile.password = DecodePassword(*password);
    profile.directory = std::move(*directory);
    return profile;
}

} // namespace tidewell

#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

namespace tidewell {

// The parts that downloads keep beside their targets for a later download to
// go on from (PartFile::Resume), tidied when a download next writes into
// their folder: a part older than kMaxAge goes, and so does one kept for the
// same target under another key (the remote file changed since). Temporary
// files a crash left behind go by age too. Only names of exactly those forms
// are ever touched. Connections of one run share it.
class KeptParts {
public:
    static constexpr std::chrono::hours kMaxAge{24 * 7};

    // Before `target` is written from the part that `key` names.
    void Prepare(const std::filesystem::path& target, std::string_view key);

private:
    void Tidy(const std::filesystem::path& folder);

    std::mutex mutex_;
    std::set<std::filesystem::path> tidied_;
    // The parts still kept, by what their name keeps of the target's.
    std::map<std::filesystem::path, std::vector<std::filesystem::path>> kept_;
};

} // namespace tidewell

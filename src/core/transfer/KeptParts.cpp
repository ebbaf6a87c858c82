#include "core/transfer/KeptParts.h"

#include "core/transfer/PartFile.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace tidewell {

namespace {

constexpr std::string_view kMarker = ".part-";
constexpr std::size_t kKeptDigits = 16;  // PartFile::KeyOf
constexpr std::size_t kSingleDigits = 8; // PartFile::Create

// The hex digits after the last ".part-" of a hidden name; 0 for any other name.
std::size_t PartDigits(std::string_view name) {
    const auto marker = name.rfind(kMarker);
    if (name.empty() || name.front() != '.' || marker == std::string_view::npos || marker == 0) {
        return 0;
    }
    const std::string_view digits = name.substr(marker + kMarker.size());
    const bool hex = std::all_of(digits.begin(), digits.end(),
                                 [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
    return hex && (digits.size() == kKeptDigits || digits.size() == kSingleDigits) ? digits.size() : 0;
}

// A kept part's name without its key: the same for every key of one target.
std::filesystem::path Stem(const std::filesystem::path& part) {
    const std::string name = part.filename().string();
    return part.parent_path() / name.substr(0, name.size() - kKeptDigits);
}

} // namespace

void KeptParts::Prepare(const std::filesystem::path& target, std::string_view key) {
    const std::lock_guard lock(mutex_);
    if (tidied_.insert(target.parent_path()).second) {
        Tidy(target.parent_path());
    }
    const std::filesystem::path mine = PartFile::KeptName(target, key);
    const auto found = kept_.find(Stem(mine));
    if (found == kept_.end()) {
        return;
    }
    for (const auto& part : found->second) {
        if (part != mine) {
            std::error_code ignored;
            std::filesystem::remove(part, ignored);
        }
    }
    kept_.erase(found);
}

void KeptParts::Tidy(const std::filesystem::path& folder) {
    const auto oldest = std::filesystem::file_time_type::clock::now() - kMaxAge;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::size_t digits = PartDigits(it->path().filename().string());
        std::error_code ignored;
        if (digits == 0 || !it->is_regular_file(ignored) || it->is_symlink(ignored)) {
            continue;
        }
        const auto written = it->last_write_time(ignored);
        if (ignored) {
            continue;
        }
        if (written < oldest) {
            std::filesystem::remove(it->path(), ignored);
        } else if (digits == kKeptDigits) {
            kept_[Stem(it->path())].push_back(it->path());
        }
    }
}

} // namespace tidewell

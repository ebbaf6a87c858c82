#include "core/remote/ftp/FtpFileFind.h"

#include "core/remote/ftp/ControlChannel.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"

#include <ctime>

namespace tidewell::ftp {

namespace {
bool Matches(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || pattern == "*" || pattern == "*.*") {
        return true;
    }
    if (pattern.back() == '*') {
        return name.substr(0, pattern.size() - 1) == pattern.substr(0, pattern.size() - 1);
    }
    return name == pattern;
}
} // namespace

FtpFileFind::FtpFileFind(FtpConnection& connection, bool marksLinks)
    : connection_(connection), marksLinks_(marksLinks) {}

bool FtpFileFind::Fail(FtpException failure) {
    result_ = Result::Failed;
    failure_ = std::move(failure);
    return false;
}

bool FtpFileFind::FindFile(std::string_view pattern) {
    Close();
    result_ = Result::Nothing;
    failure_.reset();
    if (IsUnsafeArgument(pattern)) {
        return Fail(FtpException(error::kErrorReply, "invalid pattern"));
    }
    FtpConnection::Listing listing;
    try {
        listing = connection_.ReadListing(kMaxListingBytes, marksLinks_);
    } catch (const FtpException& failure) {
        return Fail(failure);
    }
    auto parsed = ParseListing(listing.data, listing.format, static_cast<std::int64_t>(std::time(nullptr)));
    if (!parsed) {
        return Fail(FtpException(error::kErrorReply, "the listing is not text"));
    }
    for (auto& entry : *parsed) {
        if (Matches(pattern, entry.name)) {
            entries_.push_back(std::move(entry));
        }
    }
    result_ = entries_.empty() ? Result::Nothing : Result::Found;
    return !entries_.empty();
}

bool FtpFileFind::FindNextFile() {
    if (next_ >= entries_.size()) {
        hasCurrent_ = false;
        return false;
    }
    ++next_;
    hasCurrent_ = true;
    return next_ < entries_.size();
}

void FtpFileFind::Close() {
    entries_.clear();
    next_ = 0;
    hasCurrent_ = false;
}

const ListEntry* FtpFileFind::Current() const {
    return hasCurrent_ ? &entries_[next_ - 1] : nullptr;
}

std::string FtpFileFind::GetFileName() const {
    const auto* entry = Current();
    return entry ? entry->name : std::string();
}

std::uint64_t FtpFileFind::GetLength() const {
    const auto* entry = Current();
    return entry ? entry->size : 0;
}

std::int64_t FtpFileFind::GetLastWriteTime() const {
    const auto* entry = Current();
    return entry ? entry->modified : 0;
}

bool FtpFileFind::IsDirectory() const {
    const auto* entry = Current();
    return entry && entry->isDirectory;
}

bool FtpFileFind::IsLink() const {
    const auto* entry = Current();
    return entry && entry->isLink;
}

bool FtpFileFind::IsDots() const {
    const auto* entry = Current();
    return entry && (entry->name == "." || entry->name == "..");
}

} // namespace tidewell::ftp

#include "core/remote/ftp/FtpFileFind.h"

#include "core/remote/ftp/ControlChannel.h"
#include "core/remote/ftp/DataTransfer.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"

#include <ctime>

namespace tidewell::ftp {

namespace {
bool Matches(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || pattern == "*" || pattern == "*.*")
        return true;
    if (pattern.back() == '*')
        return name.substr(0, pattern.size() - 1) == pattern.substr(0, pattern.size() - 1);
    return name == pattern;
}
} // namespace

FtpFileFind::FtpFileFind(FtpConnection& connection) : channel_(connection.channel_) {}

bool FtpFileFind::FetchListing(std::string& data, ListingFormat& format) {
    format = channel_->HasFeature("MLST") ? ListingFormat::Mlsd : ListingFormat::List;
    Reply refusal;
    auto transfer = DataTransfer::Start(channel_, format == ListingFormat::Mlsd ? "MLSD" : "LIST", refusal);
    if (!transfer && format == ListingFormat::Mlsd && refusal.code >= 500 && refusal.code <= 502) {
        format = ListingFormat::List;
        transfer = DataTransfer::Start(channel_, "LIST", refusal);
    }
    if (!transfer)
        return false;
    constexpr std::size_t kChunk = 64 * 1024;
    for (;;) {
        if (data.size() + kChunk > kMaxListingBytes) {
            transfer->Abandon();
            return false;
        }
        const auto before = data.size();
        data.resize(before + kChunk);
        const auto got = transfer->Receive(data.data() + before, kChunk);
        data.resize(before + got);
        if (got < kChunk)
            return true;
    }
}

bool FtpFileFind::FindFile(std::string_view pattern) {
    Close();
    if (IsUnsafeArgument(pattern) || !channel_->IsOpen() || channel_->transferOpen)
        return false;
    std::string data;
    ListingFormat format = ListingFormat::List;
    try {
        if (!FetchListing(data, format))
            return false;
    } catch (const FtpException&) {
        return false;
    }
    auto parsed = ParseListing(data, format, static_cast<std::int64_t>(std::time(nullptr)));
    if (!parsed)
        return false;
    for (auto& entry : *parsed)
        if (Matches(pattern, entry.name))
            entries_.push_back(std::move(entry));
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

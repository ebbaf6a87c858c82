#include "core/remote/ftp/FtpConnection.h"

#include "core/remote/ftp/ControlChannel.h"
#include "core/remote/ftp/DataTransfer.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/HashCommands.h"

#include <algorithm>
#include <charconv>

namespace tidewell::ftp {

namespace {
constexpr std::chrono::milliseconds kQuitWait{2000};
// A server reads the whole file before it answers a hash command: GiBs from a
// slow disk take minutes, and only a cancel should cut that short.
constexpr std::chrono::milliseconds kHashWait{std::chrono::minutes(10)};

// The quoted path of a 257 reply; "" inside stands for one quote.
std::optional<std::string> QuotedPath(std::string_view line) {
    const auto open = line.find('"');
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    std::string path;
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            path += line[i];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == '"') {
            path += '"';
            ++i;
            continue;
        }
        return path;
    }
    return std::nullopt;
}
} // namespace

FtpConnection::FtpConnection(std::shared_ptr<ControlChannel> channel) : channel_(std::move(channel)) {}

FtpConnection::~FtpConnection() {
    Close();
}

void FtpConnection::Close() {
    if (!channel_->IsOpen()) {
        return;
    }
    if (!channel_->InTransfer()) {
        // A polite goodbye, but closing never waits long for a server that does not answer.
        try {
            channel_->Send("QUIT");
            channel_->ReadReply(Clock::now() + std::min(channel_->Timeout(), kQuitWait));
        } catch (const FtpException&) {
        }
    }
    channel_->Drop();
}

bool FtpConnection::IsConnected() const {
    return channel_->IsOpen();
}

bool FtpConnection::CanResume() const {
    return channel_->HasFeature("REST");
}

bool FtpConnection::KeepAlive() {
    if (!channel_->IsOpen() || channel_->InTransfer()) {
        return channel_->IsOpen();
    }
    try {
        const auto reply = channel_->Command("NOOP");
        if (reply.code == 421) {
            channel_->DropLost(reply.Text()); // the server is closing it
            return false;
        }
        return true; // any answer, a refusal included, shows the server is there
    } catch (const FtpException&) {
        return false; // the channel dropped itself
    }
}

bool FtpConnection::UsesPassive() const {
    return channel_->UsesPassive();
}

void FtpConnection::PreferPassive() {
    channel_->PreferPassive();
}

void FtpConnection::SetTimeout(std::chrono::milliseconds timeout) {
    channel_->SetTimeout(timeout);
}

bool FtpConnection::Simple(std::string_view verb, std::string_view argument, int expected) {
    if (IsUnsafeArgument(argument) || !channel_->IsOpen() || channel_->InTransfer()) {
        return false;
    }
    try {
        std::string command(verb);
        if (!argument.empty()) {
            command += ' ';
            command += argument;
        }
        const auto reply = channel_->Command(command);
        lastReply_ = reply.Text();
        return reply.code / 100 == expected / 100;
    } catch (const FtpException& failure) {
        lastReply_ = failure.what();
        return false;
    }
}

bool FtpConnection::GetCurrentDirectory(std::string& directory) {
    if (!channel_->IsOpen() || channel_->InTransfer()) {
        return false;
    }
    try {
        const auto reply = channel_->Command("PWD");
        lastReply_ = reply.Text();
        if (reply.code != 257) {
            return false;
        }
        // The path may sit on any line of a multi-line reply.
        for (const auto& line : reply.lines) {
            auto path = QuotedPath(line);
            if (path && !path->empty()) {
                directory = std::move(*path);
                return true;
            }
        }
        return false;
    } catch (const FtpException& failure) {
        lastReply_ = failure.what();
        return false;
    }
}

bool FtpConnection::SetCurrentDirectory(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    if (path == "..") {
        return Simple("CDUP", {}, 250) || Simple("CWD", path, 250);
    }
    return Simple("CWD", path, 250);
}

std::optional<CertificateInfo> FtpConnection::Encryption() const {
    return channel_->Encryption();
}

bool FtpConnection::CreateDirectory(std::string_view name) {
    return !name.empty() && Simple("MKD", name, 257);
}

bool FtpConnection::RemoveDirectory(std::string_view name) {
    return !name.empty() && Simple("RMD", name, 250);
}

bool FtpConnection::Remove(std::string_view name) {
    return !name.empty() && Simple("DELE", name, 250);
}

bool FtpConnection::Rename(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty() || IsUnsafeArgument(to)) {
        return false;
    }
    return RenameFrom(from) && RenameTo(to);
}

bool FtpConnection::RenameFrom(std::string_view from) {
    return !from.empty() && Simple("RNFR", from, 350);
}

bool FtpConnection::RenameTo(std::string_view to) {
    return !to.empty() && Simple("RNTO", to, 250);
}

std::pair<bool, bool> FtpConnection::RenameAtOnce(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty() || IsUnsafeArgument(from) || IsUnsafeArgument(to) || !channel_->IsOpen() ||
        channel_->InTransfer()) {
        return {false, false};
    }
    try {
        channel_->SendTogether("RNFR " + std::string(from), "RNTO " + std::string(to));
        const auto deadline = channel_->Deadline();
        const auto first = channel_->ReadReply(deadline);
        const auto second = channel_->ReadReply(deadline); // refused when RNFR was: nothing to rename
        const bool took = first.code / 100 == 3;
        lastReply_ = (took ? second : first).Text();
        return {took, took && second.code / 100 == 2};
    } catch (const FtpException& failure) {
        lastReply_ = failure.what();
        return {false, false};
    }
}

std::optional<std::uint64_t> FtpConnection::RemoteSize(std::string_view name) {
    if (sizeUnknown_ || name.empty() || IsUnsafeArgument(name) || !channel_->IsOpen() ||
        channel_->InTransfer()) {
        return std::nullopt;
    }
    // Asked whatever FEAT said: servers that offer no FEAT often know SIZE.
    const auto reply = channel_->Command("SIZE " + std::string(name));
    if (reply.code == 500 || reply.code == 502) {
        sizeUnknown_ = true;
    }
    if (reply.code != 213) {
        return std::nullopt;
    }
    const auto& line = reply.lines.back();
    std::uint64_t value = 0;
    const char* first = line.data() + std::min<std::size_t>(4, line.size());
    const char* last = line.data() + line.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || end == first) {
        return std::nullopt;
    }
    return value;
}

std::optional<RemoteHash> FtpConnection::FileHash(std::string_view name) {
    if (name.empty() || IsUnsafeArgument(name) || !channel_->IsOpen() || channel_->InTransfer()) {
        return std::nullopt;
    }
    const HashCommands commands(*channel_);
    if (!hashChosen_) {
        hashChosen_ = commands.Current();
    }
    try {
        for (const auto& way : commands.Ways()) {
            if (!way.hashName.empty() && way.hashName != *hashChosen_) {
                if (std::find(hashRefused_.begin(), hashRefused_.end(), way.hashName) != hashRefused_.end()) {
                    continue;
                }
                const auto chosen = channel_->Command("OPTS HASH " + std::string(way.hashName));
                lastReply_ = chosen.Text();
                if (!chosen.IsSuccess()) {
                    hashRefused_.emplace_back(way.hashName);
                    continue; // a weaker algorithm, or the one HASH already uses, may do
                }
                hashChosen_ = way.hashName;
            }
            channel_->Send(std::string(way.verb) + ' ' + std::string(name));
            const auto reply =
                channel_->ReadFinalReply(Clock::now() + std::max(channel_->Timeout(), kHashWait));
            lastReply_ = reply.Text();
            if (reply.code == 500 || reply.code == 502) {
                continue; // offered, yet not understood after all
            }
            return reply.IsSuccess() ? HashCommands::Read(way, reply.lines.back()) : std::nullopt;
        }
    } catch (const FtpException& failure) {
        lastReply_ = failure.what();
    }
    return std::nullopt;
}

void FtpConnection::CheckCanStart(std::string_view name) const {
    if (name.empty() || IsUnsafeArgument(name)) {
        throw FtpException(error::kErrorReply, "invalid file name");
    }
    if (!channel_->IsOpen()) {
        throw FtpException(error::kConnectionLost, {});
    }
    if (channel_->InTransfer()) {
        throw FtpException(error::kErrorReply, "another transfer is in progress on this connection");
    }
}

std::unique_ptr<FtpFile> FtpConnection::OpenFile(std::string_view name, FtpFile::Access access,
                                                 std::optional<std::uint64_t> listedSize,
                                                 std::uint64_t offset) {
    CheckCanStart(name);
    const bool read = access == FtpFile::Access::Read;
    // Every length the server or the listing gives lets the end of the download
    // be checked. SIZE costs a round trip per file, so it is asked only when
    // the listing gave no size (a link, a name typed rather than listed).
    const auto size = read && offset == 0 && !listedSize ? RemoteSize(name) : std::nullopt;
    if (offset > 0) {
        listedSize.reset();
        const auto reply = channel_->Command("REST " + std::to_string(offset));
        if (reply.code != 350) {
            lastReply_ = reply.Text();
            throw FtpException(error::kErrorReply, reply.Text());
        }
    }
    const auto command = std::string(read ? "RETR " : "STOR ") + std::string(name);
    Reply refusal;
    auto transfer = DataTransfer::Start(
        channel_, command, read ? DataTransfer::Direction::Receive : DataTransfer::Direction::Send, refusal);
    if (!transfer) {
        lastReply_ = refusal.Text();
        throw FtpException(error::kErrorReply, refusal.Text());
    }
    if (offset > 0) {
        transfer->FromOffset();
    }
    if (size) {
        transfer->ExpectSize(*size, "SIZE");
    }
    if (read && listedSize) {
        transfer->ExpectSize(*listedSize, "the listing");
    }
    return std::make_unique<FtpFile>(std::move(transfer), access);
}

FtpConnection::Listing FtpConnection::ReadListing(std::size_t maxBytes, bool marksLinks) {
    CheckCanStart("listing");
    if (channel_->HasFeature("MLST") && !marksLinks) {
        Reply refusal;
        if (auto data = TryListing("MLSD", maxBytes, refusal)) {
            return {std::move(*data), ListingFormat::Mlsd};
        }
        if (refusal.code < 500 || refusal.code > 502) {
            Refused(refusal);
        }
    }
    return {ReadList(maxBytes), ListingFormat::List};
}

std::string FtpConnection::ReadList(std::size_t maxBytes) {
    if (listsHidden_) {
        return FetchListing(*listsHidden_ ? "LIST -a" : "LIST", maxBytes);
    }
    // Not known yet. "-a" shows the entries vsftpd and others hide; a server
    // that does not take it may refuse it, fail or list nothing (reading it as
    // a name). When a plain LIST then does better, the option was to blame.
    Reply refusal;
    std::optional<std::string> all;
    bool failed = false;
    try {
        all = TryListing("LIST -a", maxBytes, refusal);
    } catch (const FtpException&) {
        if (!channel_->IsOpen()) {
            throw;
        }
        failed = true;
    }
    if (all && HoldsEntry(*all, ListingFormat::List)) {
        listsHidden_ = true;
        return std::move(*all);
    }
    if (!all && !failed && refusal.code / 100 != 5) {
        Refused(refusal); // a passing refusal (4xx) says nothing about the option
    }
    auto plain = FetchListing("LIST", maxBytes);
    if (!all || HoldsEntry(plain, ListingFormat::List)) {
        listsHidden_ = false;
    }
    return plain;
}

std::string FtpConnection::FetchListing(const char* command, std::size_t maxBytes) {
    Reply refusal;
    auto data = TryListing(command, maxBytes, refusal);
    if (!data) {
        Refused(refusal);
    }
    return std::move(*data);
}

void FtpConnection::Refused(const Reply& refusal) {
    lastReply_ = refusal.Text();
    throw FtpException(error::kErrorReply, refusal.Text());
}

std::optional<std::string> FtpConnection::TryListing(const char* command, std::size_t maxBytes,
                                                     Reply& refusal) {
    auto transfer = DataTransfer::Start(channel_, command, DataTransfer::Direction::Receive, refusal);
    if (!transfer) {
        return std::nullopt;
    }
    constexpr std::size_t kChunk = 64 * 1024;
    std::string data;
    for (;;) {
        if (data.size() + kChunk > maxBytes) {
            transfer->Abandon();
            throw FtpException(error::kErrorReply,
                               "the listing is larger than " + std::to_string(maxBytes) + " bytes");
        }
        const auto before = data.size();
        data.resize(before + kChunk);
        const auto got = transfer->Receive(data.data() + before, kChunk);
        data.resize(before + got);
        if (got < kChunk) {
            return data;
        }
    }
}

} // namespace tidewell::ftp

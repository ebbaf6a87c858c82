#include "core/remote/ftp/DataTransfer.h"

#include "core/remote/ftp/FtpException.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

namespace tidewell::ftp {

namespace {

enum class Outcome { Started, Refused, FallBack };

// How long an abandoned transfer waits for the server's own final reply before
// it aborts. A busy server takes seconds to notice the reset, and a reply that
// comes after the abort would answer the next command.
constexpr std::chrono::milliseconds kAbandonGrace{5000};

struct Attempt {
    Outcome outcome = Outcome::FallBack;
    Socket data;
    std::optional<Reply> preliminary;
    std::optional<Reply> finalReply;
};

// "h1,h2,h3,h4,p1,p2" for PORT.
std::string PortArgument(const SocketAddress& address) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(&address.storage);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&in->sin_addr);
    const auto port = address.Port();
    std::string text;
    for (int i = 0; i < 4; ++i) {
        text += std::to_string(bytes[i]) + ",";
    }
    text += std::to_string(port >> 8) + "," + std::to_string(port & 0xff);
    return text;
}

std::string EprtArgument(const SocketAddress& address) {
    return std::string("|") + (address.Family() == AF_INET6 ? "2" : "1") + "|" + address.Host() + "|" +
           std::to_string(address.Port()) + "|";
}

// The numbers of a reply line, in order (for PASV's six).
std::vector<unsigned> NumbersIn(std::string_view text) {
    std::vector<unsigned> numbers;
    std::size_t i = 0;
    while (i < text.size() && numbers.size() < 16) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        unsigned value = 0;
        auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (ec != std::errc{}) {
            return {};
        }
        numbers.push_back(value);
        i = static_cast<std::size_t>(end - text.data());
    }
    return numbers;
}

// The port of "229 Entering Extended Passive Mode (|||port|)".
std::optional<std::uint16_t> EpsvPort(std::string_view line) {
    const auto open = line.find('(');
    if (open == std::string::npos || open + 4 >= line.size()) {
        return std::nullopt;
    }
    const char delimiter = line[open + 1];
    if (line[open + 2] != delimiter || line[open + 3] != delimiter) {
        return std::nullopt;
    }
    unsigned port = 0;
    const char* first = line.data() + open + 4;
    auto [end, ec] = std::from_chars(first, line.data() + line.size(), port);
    if (ec != std::errc{} || end == first || port == 0 || port > 65535 || *end != delimiter) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)". The host part is
// not used: the data connection always goes to the control connection's peer, so
// a server behind NAT (or a hostile one) cannot send it elsewhere.
std::optional<std::uint16_t> PasvPort(std::string_view line) {
    line.remove_prefix(std::min<std::size_t>(3, line.size()));
    const auto open = line.find('(');
    if (open != std::string_view::npos) {
        line.remove_prefix(open);
    }
    const auto numbers = NumbersIn(line);
    if (numbers.size() < 6) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        if (numbers[i] > 255) {
            return std::nullopt;
        }
    }
    const unsigned port = numbers[4] * 256 + numbers[5];
    if (port == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

// The port named by any line of the reply (a multi-line reply may carry it last).
std::optional<std::uint16_t> FirstPort(const Reply& reply,
                                       std::optional<std::uint16_t> (*parse)(std::string_view)) {
    for (const auto& line : reply.lines) {
        if (auto port = parse(line)) {
            return port;
        }
    }
    return std::nullopt;
}

// After a transfer whose end the server has not answered yet: ABOR, then NOOP,
// and every reply up to NOOP's is dropped. Servers answer an abort with one or
// two replies, and a late final reply of the transfer may come before or after
// them; only NOOP's own reply marks where the next command's reply starts.
void AbortPending(ControlChannel& channel) {
    channel.Send("ABOR");
    channel.SendFollowing("NOOP");
    const auto deadline = channel.Deadline();
    int refusals = 0;
    for (;;) {
        const auto reply = channel.ReadReply(deadline);
        if (reply.code == 200) {
            return;
        }
        // Both commands refused: nothing else is coming.
        if (reply.code >= 500 && reply.code <= 502 && ++refusals == 2) {
            return;
        }
    }
}

Attempt StartActive(ControlChannel& channel, const std::string& command, Reply& refusal) {
    Attempt attempt;
    auto listener = ListenOn(channel.Local());
    if (!listener) {
        return attempt;
    }
    auto address = listener->LocalAddress();
    if (!address) {
        return attempt;
    }
    Reply reply;
    if (address->Family() == AF_INET) {
        reply = channel.Command("PORT " + PortArgument(*address));
        if (!reply.IsSuccess() && reply.code >= 500) {
            reply = channel.Command("EPRT " + EprtArgument(*address));
        }
    } else {
        reply = channel.Command("EPRT " + EprtArgument(*address));
    }
    if (!reply.IsSuccess()) {
        return attempt;
    }

    channel.Send(command);
    const auto deadline = channel.Deadline();
    for (;;) {
        // The server may connect, send everything and report success before we
        // look, so a waiting connection is taken before any reply is read.
        const bool pending = channel.ReplyPending();
        pollfd entries[2] = {{listener->Get(), POLLIN, 0}, {channel.Descriptor(), POLLIN, 0}};
        const int wait = PollMilliseconds(deadline);
        if (wait < 0) {
            if (attempt.finalReply) {
                refusal = *attempt.finalReply; // success, yet no data connection ever came
                attempt.outcome = Outcome::Refused;
                return attempt;
            }
            AbortPending(channel);
            return attempt;
        }
        const bool watchControl = !pending && !attempt.finalReply;
        const int rc = ::poll(entries, watchControl ? 2 : 1, pending ? 0 : wait);
        if (rc < 0 && errno != EINTR) {
            throw FtpException(error::kConnectionLost, {});
        }
        if (rc > 0 && (entries[0].revents & POLLIN)) {
            Socket data(::accept4(listener->Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            const auto from = data.IsOpen() ? data.PeerAddress() : std::nullopt;
            // Only the server may deliver the data.
            if (from && from->SameHost(channel.Peer())) {
                if (!attempt.preliminary && !attempt.finalReply) {
                    reply = channel.ReadReply(deadline);
                    if (reply.IsPreliminary()) {
                        attempt.preliminary = reply;
                    } else if (reply.IsSuccess()) {
                        attempt.finalReply = reply;
                    } else {
                        refusal = reply;
                        attempt.outcome = Outcome::Refused;
                        return attempt;
                    }
                }
                attempt.outcome = Outcome::Started;
                attempt.data = std::move(data);
                return attempt;
            }
            continue;
        }
        if (!pending && !(watchControl && rc > 0 && (entries[1].revents & (POLLIN | POLLHUP | POLLERR)))) {
            continue;
        }
        reply = channel.ReadReply(deadline);
        if (reply.IsPreliminary()) {
            attempt.preliminary = reply;
            continue;
        }
        if (reply.IsSuccess()) {
            attempt.finalReply = reply; // the data is waiting in the listen queue
            continue;
        }
        if (reply.code == 425) {
            return attempt; // the server could not reach us
        }
        refusal = reply;
        attempt.outcome = Outcome::Refused;
        return attempt;
    }
}

const char* PassiveVerb(ControlChannel::PassiveCommand command) {
    return command == ControlChannel::PassiveCommand::Epsv ? "EPSV" : "PASV";
}

// The port that the reply to EPSV or PASV names.
std::optional<std::uint16_t> PassivePort(const Reply& reply, ControlChannel::PassiveCommand command) {
    const bool epsv = command == ControlChannel::PassiveCommand::Epsv;
    if (reply.code != (epsv ? 229 : 227)) {
        return std::nullopt;
    }
    return FirstPort(reply, epsv ? EpsvPort : PasvPort);
}

// A data connection to `port` of the control connection's peer.
ConnectOutcome ConnectToPeer(ControlChannel& channel, std::uint16_t port) {
    SocketAddress target = channel.Peer();
    target.SetPort(port);
    return ConnectToAddress(target, channel.Deadline(), true);
}

// The transfer command's first reply decides: preliminary, the transfer has
// started on `data`; anything else refuses it.
Attempt Answered(Reply reply, Socket data, Reply& refusal) {
    Attempt attempt;
    if (!reply.IsPreliminary()) {
        refusal = std::move(reply);
        attempt.outcome = Outcome::Refused;
        return attempt;
    }
    attempt.outcome = Outcome::Started;
    attempt.preliminary = std::move(reply);
    attempt.data = std::move(data);
    return attempt;
}

// A data connection to the port that EPSV or PASV names; an empty socket, with
// the reason in `failure`, when the server names none or the port refuses.
Socket PassiveConnection(ControlChannel& channel, ControlChannel::PassiveCommand command,
                         std::string& failure) {
    const auto reply = channel.Command(PassiveVerb(command));
    const auto port = PassivePort(reply, command);
    if (!port) {
        failure = reply.Text();
        return Socket();
    }
    auto connected = ConnectToPeer(channel, *port);
    if (connected.error == error::kTimeout) {
        // Trying the other command would double the bound.
        throw FtpException(error::kTimeout, {});
    }
    if (!connected.socket.IsOpen()) {
        failure = "port " + std::to_string(*port) + " refused the data connection";
    }
    return std::move(connected.socket);
}

// The passive command that has worked on this channel and `command` are sent
// at once: one round trip less per file, which over a real network is most of
// a small file's time. Servers read commands in order, and the transfer waits
// for the data connection that the passive reply names. FallBack when the
// passive command fails after all; the step by step way then tries both.
Attempt StartPassivePipelined(ControlChannel& channel, const std::string& command, Reply& refusal) {
    const ControlChannel::PassiveCommand passive = channel.FirstPassiveCommand();
    channel.SendTogether(PassiveVerb(passive), command);
    const auto deadline = channel.Deadline();
    const auto port = PassivePort(channel.ReadReply(deadline), passive);
    Attempt attempt;
    if (!port) {
        // The command came without a data port: whatever the server made of
        // it, its replies end before NOOP's.
        AbortPending(channel);
        channel.DoubtPassive();
        return attempt;
    }
    auto connected = ConnectToPeer(channel, *port);
    if (!connected.socket.IsOpen()) {
        if (connected.error == error::kTimeout) {
            channel.DropLost("the data connection timed out");
            throw FtpException(error::kTimeout, {});
        }
        // The command waits for a data connection that cannot come: ABOR ends
        // the wait (or, when the server refused the command at once, finds
        // nothing to end), and the step by step way tries again.
        AbortPending(channel);
        channel.DoubtPassive();
        return attempt;
    }
    return Answered(channel.ReadReply(deadline), std::move(connected.socket), refusal);
}

// The preferred passive command first, the other when it gives no data
// connection; the one that worked is preferred from then on. PASV speaks IPv4 only.
Attempt StartPassive(ControlChannel& channel, const std::string& command, Reply& refusal) {
    if (channel.PassiveProven()) {
        auto attempt = StartPassivePipelined(channel, command, refusal);
        if (attempt.outcome != Outcome::FallBack) {
            return attempt;
        }
    }
    using Command = ControlChannel::PassiveCommand;
    const Command first = channel.FirstPassiveCommand();
    const Command second = first == Command::Epsv ? Command::Pasv : Command::Epsv;
    std::string failures;
    Socket data;
    for (const Command candidate : {first, second}) {
        if (candidate == Command::Pasv && channel.Peer().Family() != AF_INET) {
            continue;
        }
        std::string failure;
        data = PassiveConnection(channel, candidate, failure);
        if (data.IsOpen()) {
            channel.PreferPassiveCommand(candidate);
            break;
        }
        failures += std::string(failures.empty() ? "" : "; ") + PassiveVerb(candidate) + ": " + failure;
    }
    if (!data.IsOpen()) {
        throw FtpException(error::kCannotConnect,
                           "no passive data connection could be made (" + failures + ")");
    }
    return Answered(channel.Command(command), std::move(data), refusal);
}

// The length a preliminary reply announces, as in "150 Opening BINARY mode data
// connection for f (12345 bytes)."
std::optional<std::uint64_t> AnnouncedLength(const Reply& reply) {
    for (const auto& line : reply.lines) {
        for (auto open = line.find('('); open != std::string::npos; open = line.find('(', open + 1)) {
            std::uint64_t value = 0;
            const char* first = line.data() + open + 1;
            const char* last = line.data() + line.size();
            const auto [end, ec] = std::from_chars(first, last, value);
            if (ec != std::errc{} || end == first) {
                continue;
            }
            std::string rest(end, last);
            for (auto& c : rest) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            if (rest.starts_with(" bytes)") || rest.starts_with(" byte)")) {
                return value;
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<DataTransfer> DataTransfer::Start(std::shared_ptr<ControlChannel> channel,
                                                  const std::string& command, Direction direction,
                                                  Reply& refusal) {
    if (!channel->IsOpen()) {
        throw FtpException(error::kConnectionLost, {});
    }
    if (channel->InTransfer()) {
        throw FtpException(error::kErrorReply, "another transfer is in progress on this connection");
    }
    Attempt attempt;
    if (!channel->UsesPassive()) {
        attempt = StartActive(*channel, command, refusal);
        if (attempt.outcome == Outcome::FallBack) {
            channel->PreferPassive();
        }
    }
    if (channel->UsesPassive() && attempt.outcome == Outcome::FallBack) {
        attempt = StartPassive(*channel, command, refusal);
    }
    if (attempt.outcome != Outcome::Started) {
        return nullptr;
    }
    auto transfer = std::make_unique<DataTransfer>(std::move(channel), std::move(attempt.data), direction);
    if (attempt.preliminary) {
        transfer->NotePreliminary(*attempt.preliminary);
    }
    transfer->finalReply_ = std::move(attempt.finalReply);
    transfer->Secure();
    return transfer;
}

DataTransfer::DataTransfer(std::shared_ptr<ControlChannel> channel, Socket data, Direction direction)
    : channel_(std::move(channel)), data_(std::move(data)), direction_(direction) {
    channel_->BeginTransfer();
}

DataTransfer::~DataTransfer() {
    if (!finished_) {
        Abandon();
    }
}

void DataTransfer::ExpectSize(std::uint64_t size, const char* source) {
    expected_.push_back({size, source});
}

void DataTransfer::FromOffset() {
    fromOffset_ = true;
    expected_.clear();
}

void DataTransfer::NotePreliminary(const Reply& reply) {
    if (direction_ != Direction::Receive || fromOffset_) {
        return;
    }
    if (const auto announced = AnnouncedLength(reply)) {
        ExpectSize(*announced, "the server's 150 reply");
    }
}

Reply DataTransfer::ReadReply(Clock::time_point deadline) {
    auto reply = channel_->ReadReply(deadline);
    if (reply.IsPreliminary()) {
        NotePreliminary(reply);
    }
    return reply;
}

Reply DataTransfer::ReadFinalReply(Clock::time_point deadline) {
    for (;;) {
        auto reply = ReadReply(deadline);
        if (!reply.IsPreliminary()) {
            return reply;
        }
    }
}

void DataTransfer::Release() noexcept {
    finished_ = true;
    channel_->EndTransfer();
}

void DataTransfer::Secure() {
    if (!channel_->IsSecure()) {
        return;
    }
    // Servers handshake after their 150 reply, so this comes after Start's reply.
    tls_ = channel_->DataStream(data_.Get());
    for (;;) {
        const auto result = tls_->Handshake();
        if (result.status == IoStatus::Done) {
            break;
        }
        if (!WaitAsAsked(result)) {
            Fail(error::kTlsFailed, "TLS handshake on the data connection failed: " + tls_->Failure());
        }
    }
    if (!channel_->SamePeer(*tls_)) {
        Fail(error::kTlsFailed,
             "the data connection presented another certificate than the control connection");
    }
}

bool DataTransfer::WaitAsAsked(const IoResult& result) {
    if (result.status == IoStatus::WantRead || result.status == IoStatus::WantWrite) {
        WaitForData(result.status == IoStatus::WantRead ? POLLIN : POLLOUT);
        return true;
    }
    return false;
}

void DataTransfer::Fail(std::uint32_t code, std::string text) {
    tls_.reset();
    data_.Abort();
    if (code == error::kTimeout) {
        // The server stopped answering; waiting again for its reply would double the bound.
        channel_->DropLost(DescribeError(code));
    } else if (!finalReply_ && channel_->IsOpen()) {
        try {
            auto reply = ReadFinalReply(channel_->Deadline());
            if (text.empty() && reply.IsError()) {
                text = reply.Text();
            }
        } catch (const FtpException&) {
        }
    }
    Release();
    throw FtpException(code, std::move(text));
}

void DataTransfer::WaitForData(short events) {
    const auto deadline = channel_->Deadline();
    for (;;) {
        // While the data is idle, the control connection may carry the verdict.
        const bool watchControl = !finalReply_ && channel_->IsOpen();
        if (watchControl && channel_->ReplyPending()) {
            Reply reply;
            try {
                reply = ReadReply(deadline);
            } catch (const FtpException&) {
                if (direction_ == Direction::Receive && !channel_->IsOpen()) {
                    // What the server sent before its session ended is still
                    // good: read to the data's end, and fail there. A resumed
                    // download then goes on from all of it.
                    continue;
                }
                data_.Abort();
                Release();
                throw;
            }
            if (reply.IsError()) {
                finalReply_ = reply;
                Fail(error::kErrorReply, reply.Text());
            }
            if (!reply.IsPreliminary()) {
                finalReply_ = std::move(reply);
                return; // the caller may be waiting for just this
            }
            continue;
        }
        pollfd entries[2] = {{data_.Get(), events, 0}, {channel_->Descriptor(), POLLIN, 0}};
        const int wait = PollMilliseconds(deadline);
        if (wait < 0) {
            Fail(error::kTimeout, {});
        }
        const int rc = ::poll(entries, watchControl ? 2 : 1, wait);
        if (rc < 0 && errno != EINTR) {
            Fail(error::kConnectionLost, {});
        }
        if (rc > 0 && entries[0].revents != 0) {
            return;
        }
    }
}

std::size_t DataTransfer::Receive(char* buffer, std::size_t size) {
    return ReceiveUpTo(buffer, size, false);
}

std::size_t DataTransfer::ReceiveSome(char* buffer, std::size_t size) {
    return ReceiveUpTo(buffer, size, true);
}

std::size_t DataTransfer::ReceiveUpTo(char* buffer, std::size_t size, bool some) {
    if (finished_) {
        return 0;
    }
    if (endSeen_) {
        CompleteReceive();
        return 0;
    }
    std::size_t got = 0;
    while (got < size) {
        const auto result =
            tls_ ? tls_->Read(buffer + got, size - got) : data_.Receive(buffer + got, size - got);
        if (result.status == IoStatus::Done) {
            got += result.bytes;
            transferred_ += result.bytes;
            continue;
        }
        if (result.status == IoStatus::Closed) {
            if (tls_) {
                tls_->Shutdown(); // our close_notify in answer, so the server need not wait for it
            }
            if (some && got > 0) {
                // These bytes are the caller's even if the verdict fails: a
                // resumed download goes on after them. The next call judges.
                endSeen_ = true;
                break;
            }
            CompleteReceive();
            break;
        }
        if (some && got > 0 && result.status == IoStatus::WantRead) {
            break;
        }
        if (!WaitAsAsked(result)) {
            // An end TLS did not announce may have cut the data short, whatever the server replies.
            Fail(tls_ && result.status != IoStatus::Truncated ? error::kTlsFailed : error::kConnectionLost,
                 tls_ ? tls_->Failure() : std::string());
        }
    }
    return got;
}

void DataTransfer::Conclude() {
    tls_.reset();
    data_.Reset();
    if (!finalReply_) {
        try {
            finalReply_ = ReadFinalReply(channel_->Deadline());
        } catch (const FtpException&) {
            Release();
            throw;
        }
    }
    Release();
    if (!finalReply_->IsSuccess()) {
        throw FtpException(error::kErrorReply, finalReply_->Text());
    }
}

void DataTransfer::CompleteReceive() {
    Conclude();
    CheckLength();
}

void DataTransfer::CheckLength() const {
    for (const auto& [size, source] : expected_) {
        if (transferred_ < size) {
            throw FtpException(error::kConnectionLost, "the transfer ended after " +
                                                           std::to_string(transferred_) + " of " +
                                                           std::to_string(size) + " bytes (" + source + ")");
        }
        if (transferred_ > size) {
            throw FtpException(error::kErrorReply, std::to_string(transferred_) + " bytes arrived where " +
                                                       source + " gave " + std::to_string(size));
        }
    }
}

void DataTransfer::Send(const char* buffer, std::size_t size) {
    if (finished_) {
        throw FtpException(error::kConnectionLost, {});
    }
    // Blocks of the caller's size are gathered into larger sends: a quarter of the
    // system calls here, and the server reads full segments.
    if (!sendBuffer_ && size < kSendBufferBytes) {
        sendBuffer_ = std::make_unique<char[]>(kSendBufferBytes);
    }
    if (sendBuffer_ && sendFill_ + size <= kSendBufferBytes) {
        std::memcpy(sendBuffer_.get() + sendFill_, buffer, size);
        sendFill_ += size;
        if (sendFill_ == kSendBufferBytes) {
            FlushSend();
        }
        return;
    }
    FlushSend();
    if (size < kSendBufferBytes) {
        std::memcpy(sendBuffer_.get(), buffer, size);
        sendFill_ = size;
        return;
    }
    SendNow(buffer, size);
}

char* DataTransfer::SendSpace(std::size_t size) {
    if (finished_ || size > kSendBufferBytes) {
        throw FtpException(error::kConnectionLost, {});
    }
    if (!sendBuffer_) {
        sendBuffer_ = std::make_unique<char[]>(kSendBufferBytes);
    }
    if (sendFill_ + size > kSendBufferBytes) {
        FlushSend();
    }
    return sendBuffer_.get() + sendFill_;
}

void DataTransfer::CommitSend(std::size_t filled) {
    sendFill_ += filled;
    if (sendFill_ == kSendBufferBytes) {
        FlushSend();
    }
}

void DataTransfer::FlushSend() {
    if (sendFill_ == 0) {
        return;
    }
    const auto fill = sendFill_;
    sendFill_ = 0;
    SendNow(sendBuffer_.get(), fill);
}

void DataTransfer::SendNow(const char* buffer, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        const auto result =
            tls_ ? tls_->Write(buffer + sent, size - sent) : data_.Send(buffer + sent, size - sent);
        if (result.status == IoStatus::Done) {
            sent += result.bytes;
            transferred_ += result.bytes;
            continue;
        }
        if (!WaitAsAsked(result)) {
            Fail(tls_ ? error::kTlsFailed : error::kConnectionLost, tls_ ? tls_->Failure() : std::string());
        }
    }
}

void DataTransfer::FinishSend() {
    if (finished_) {
        return;
    }
    FlushSend();
    if (tls_) {
        CloseSecureSend();
    }
    // The orderly close tells the server the file is complete.
    Conclude();
}

void DataTransfer::CloseSecureSend() {
    for (;;) {
        const auto result = tls_->Shutdown();
        if (result.status == IoStatus::Done) {
            break;
        }
        if (!WaitAsAsked(result)) {
            Fail(error::kTlsFailed, tls_->Failure());
        }
    }
    ::shutdown(data_.Get(), SHUT_WR);
    // Read on until the server's verdict: the session it issued on this
    // connection is the one the next data connection resumes, and closing
    // over unread bytes would reset the connection, which can drop the file's
    // tail before the server has read it.
    std::array<char, 4096> scratch{};
    for (;;) {
        const auto result = tls_->Read(scratch.data(), scratch.size());
        if (result.status == IoStatus::Done) {
            continue;
        }
        if (finalReply_ || !WaitAsAsked(result)) {
            return;
        }
    }
}

void DataTransfer::Abandon() noexcept {
    if (finished_) {
        return;
    }
    const auto grace = Clock::now() + std::min(channel_->Timeout(), kAbandonGrace);
    // (A TLS handshake has shown that already.)
    if (direction_ == Direction::Receive && transferred_ == 0 && !finalReply_ && !tls_) {
        // A passive data connection may still wait in the server's accept queue.
        // Reset there, it never reaches the server, which then neither answers for
        // the transfer nor forgets it: some run it on the next data connection.
        // The first byte (or the end) shows that the server has taken it.
        WaitFor(data_.Get(), POLLIN, grace);
    }
    tls_.reset();
    data_.Abort();
    if (!finalReply_ && channel_->IsOpen()) {
        // The reset normally brings the transfer's final reply at once. A server
        // that never saw the data connection does not answer at all, and one
        // that answers with a further preliminary reply (pure-ftpd's statistics)
        // keeps its final reply until ABOR: ABOR settles both cases.
        try {
            std::optional<Reply> reply;
            if (channel_->WaitForReply(grace)) {
                reply = channel_->ReadReply(channel_->Deadline());
            }
            if (reply && !reply->IsPreliminary()) {
                finalReply_ = std::move(reply);
            } else {
                AbortPending(*channel_);
            }
        } catch (const FtpException&) {
        }
    }
    Release();
}

} // namespace tidewell::ftp

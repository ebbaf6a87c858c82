#include "core/transfer/TransferRun.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/remote/SizeText.h"
#include "core/transfer/FileDigest.h"

#include <cctype>

#include <ctime>

namespace tidewell {

// Both versions in local time, so that they can be compared.
std::string TransferRun::VersionLine(std::int64_t size, std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm fields{};
    char text[128] = "";
    if (localtime_r(&t, &fields) != nullptr) {
        std::strftime(text, sizeof text, "%x %X", &fields);
    }
    return FormatSizeText(size) + ", modified on, " + text;
}

bool TransferRun::WorthRetrying(const RemoteError& failure, bool connected) {
    if (!connected) {
        return true;
    }
    const std::string& reply = failure.ServerReply();
    if (reply.size() >= 3 && reply[0] >= '1' && reply[0] <= '5' &&
        std::isdigit(static_cast<unsigned char>(reply[1])) &&
        std::isdigit(static_cast<unsigned char>(reply[2]))) {
        return reply[0] == '4';
    }
    // No reply to judge by: the transport failed (reset, timeout, a cut TLS
    // record, a short transfer), or the engine refused something itself.
    return failure.ErrorCode() != RemoteError::kRefused && failure.ErrorCode() != 0;
}

TransferRun::Compared TransferRun::CompareWhole(RemoteFileSystem& connection, std::string_view name,
                                                const std::filesystem::path& local) const {
    const CancelScope cancellable(context_->cancel);
    const std::optional<RemoteHash> remote = connection.Hash(name);
    if (!remote) {
        return Compared::Unknown;
    }
    const std::optional<std::string> mine = FileDigest::OfFile(local, remote->algorithm);
    if (!mine) {
        return Compared::Unknown;
    }
    return *mine == remote->hex ? Compared::Same : Compared::Different;
}

bool TransferRun::Cancelled() const {
    return cancelled_ || context_->cancel;
}

void TransferRun::Publish(bool force) {
    const std::lock_guard lock(display_);
    PublishLocked(force);
}

void TransferRun::ShowBlock(const void* worker, BlockClock::time_point start, BlockClock::time_point end,
                            std::int64_t bytes) {
    const std::lock_guard lock(display_);
    if (worker == shownWorker_) {
        progress_.EndBlock(start, end, bytes);
        PublishLocked(false);
    } else {
        progress_.EndOtherBlock(start, end, bytes);
    }
}

void TransferRun::StepSession() {
    if (Cancelled()) {
        return;
    }
    const std::lock_guard lock(display_);
    progress_.StepSession();
    PublishLocked(false);
}

void TransferRun::PublishLocked(bool force) {
    const TransferDisplay& display = progress_.Display();
    if (force || display.filePercent != published_.filePercent ||
        display.sessionPercent != published_.sessionPercent || display.fileName != published_.fileName) {
        published_ = display;
        context_->window.ShowTransfer(display);
    }
}

void TransferRun::Fail(const std::string& text, bool& said) {
    stopped_ = true;
    Tell(text, said);
}

void TransferRun::Tell(const std::string& text, bool& said) {
    const std::lock_guard lock(asking_);
    if (!said) {
        said = true;
        Publish(true);
        context_->window.Ask({text, "ERROR", MessageIcon::Stop, MessageButtons::Ok});
    }
}

void TransferRun::TellSkipped(const std::string& heading, const std::vector<std::string>& skipped) {
    if (skipped.empty()) {
        return;
    }
    constexpr std::size_t kNamed = 10; // a link loop can skip many; the message stays readable
    std::string text = heading;
    for (std::size_t i = 0; i < skipped.size() && i < kNamed; ++i) {
        text += "\n" + skipped[i];
    }
    if (skipped.size() > kNamed) {
        text += "\n(and " + std::to_string(skipped.size() - kNamed) + " more)";
    }
    Publish(true);
    context_->window.Ask({text, "ERROR", MessageIcon::Exclamation, MessageButtons::Ok});
}

bool TransferRun::DropIfLost(bool said) {
    if (!context_->connection || context_->connection->IsConnected()) {
        return false;
    }
    if (!said) {
        context_->window.Ask({"The connection to the FTP server was lost", "FTP Error", MessageIcon::Stop,
                              MessageButtons::Ok});
    }
    context_->connection.reset();
    return true;
}

bool TransferRun::MayReplace(const OverwriteQuestion& question) {
    const std::lock_guard lock(asking_);
    if (Cancelled()) {
        return false; // a question another connection asked was answered Cancel
    }
    if (overwriteAll_) {
        return true;
    }
    Publish(true);
    switch (context_->window.AskOverwrite(question)) {
    case OverwriteAnswer::Yes:
        return true;
    case OverwriteAnswer::YesToAll:
        overwriteAll_ = true;
        return true;
    case OverwriteAnswer::Cancel:
        cancelled_ = true;
        return false;
    case OverwriteAnswer::No:
        ++declined_;
        break;
    }
    return false;
}

TransferEnding TransferRun::Ending() const {
    const std::string copied = std::to_string(copied_) + " of " + std::to_string(asked_) + " files copied";
    if (Cancelled()) {
        return {false, {"Transfer cancelled: " + copied + ".", "INFORMATION", MessageIcon::Information}};
    }
    const std::int64_t skipped = asked_ - copied_ - declined_;
    if (skipped > 0) {
        return {false,
                {"Transfer ended with errors: " + copied + ", " + std::to_string(skipped) +
                     " skipped (named above).",
                 "ERROR", MessageIcon::Exclamation}};
    }
    if (leftOut_) {
        return {false,
                {"Transfer ended with errors: " + copied + "; what is named above was left out.", "ERROR",
                 MessageIcon::Exclamation}};
    }
    return {true, {}};
}

} // namespace tidewell

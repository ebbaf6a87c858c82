#include "core/transfer/TransferProgress.h"

#include "core/remote/SizeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tidewell {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kBarLimit = 65535;
constexpr const char* kIdleTimeRemaining = "0 Sec(s).";
// Each half of the rate's window, and the distance from the average that marks a block as a stall.
constexpr BlockClock::duration kRateSpan = 1s;
constexpr BlockClock::duration kStall = 10s;
// Formatting is what costs per block over loopback; a person reads a few changes a second.
constexpr BlockClock::duration kTextInterval = 100ms;

// Both ends of a bar shifted down alike, so a long run still fills exactly at its end.
void SetBar(int& maximum, int& position, std::int64_t done, std::int64_t total) {
    int shift = 0;
    while ((total >> shift) > kBarLimit) {
        ++shift;
    }
    maximum = static_cast<int>(total >> shift);
    position = static_cast<int>(done >> shift);
}

double Percent(std::int64_t done, std::int64_t total) {
    return total > 0 ? static_cast<double>(done) / static_cast<double>(total) * 100.0 : 0.0;
}

// "%.0f" rounds the value it is given to nearest-even, as nearbyint does: the
// same rounded value is the same text, and formatting is what costs per block.
void SetPercent(std::string& text, double& shown, double percent) {
    if (std::nearbyint(percent) == shown) {
        return;
    }
    shown = std::nearbyint(percent);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.0f%%", percent);
    text = buffer;
}

} // namespace

std::int64_t BlockCountOf(std::int64_t size) {
    return size > 0 ? (size + kTransferBlockSize - 1) / kTransferBlockSize : 0;
}

std::string ThroughputText(double bytesPerSecond) {
    char buffer[32];
    if (bytesPerSecond < 1024.0) {
        std::snprintf(buffer, sizeof buffer, "%.0f bytes/sec.", bytesPerSecond);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.1f KB/sec.", bytesPerSecond / 1024.0);
    }
    return buffer;
}

std::string TimeRemainingText(std::int64_t remainingMs) {
    const auto ms = static_cast<double>(remainingMs);
    char buffer[48];
    if (remainingMs >= 3'600'000) {
        std::snprintf(buffer, sizeof buffer, "%.1f Hour(s)", ms / 3'600'000.0);
    } else if (remainingMs >= 60'000) {
        std::snprintf(buffer, sizeof buffer, "%.0f Minute(s)", ms / 60'000.0);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.0f Sec(s).", ms / 1'000.0);
    }
    return buffer;
}

void RateMeter::Add(std::int64_t bytes, BlockClock::duration elapsed) {
    ++blocks_;
    const std::int64_t counted = current_.blocks + previous_.blocks;
    if (blocks_ > 2 && counted > 0) {
        const BlockClock::duration average = (current_.time + previous_.time) / counted;
        if (elapsed - average >= kStall || average - elapsed >= kStall) {
            return;
        }
    }
    current_.bytes += bytes;
    ++current_.blocks;
    current_.time += elapsed;
    if (current_.time >= kRateSpan) {
        previous_ = current_;
        current_ = Span{};
    }
}

std::optional<double> RateMeter::BytesPerSecond() const {
    const std::chrono::duration<double> time = current_.time + previous_.time;
    const std::int64_t bytes = current_.bytes + previous_.bytes;
    if (time.count() <= 0.0 || bytes <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(bytes) / time.count();
}

void TransferProgress::StartRun() {
    display_.animating = true;
    display_.timeRemaining = kIdleTimeRemaining;
}

void TransferProgress::EndRun() {
    display_.animating = false;
    display_.timeRemaining = kIdleTimeRemaining;
}

void TransferProgress::ResetDisplay() {
    // The bars keep their ranges, as a bar does between runs.
    TransferDisplay idle;
    idle.sessionMaximum = display_.sessionMaximum;
    idle.fileMaximum = display_.fileMaximum;
    display_ = std::move(idle);
    shown_ = Shown{};
}

void TransferProgress::ResetSession(std::int64_t fileCount) {
    sessionCount_ = std::max<std::int64_t>(fileCount, 0);
    sessionDone_ = 0;
    SetBar(display_.sessionMaximum, display_.sessionPosition, 0, sessionCount_);
}

void TransferProgress::StepSession() {
    // A walk that finds more files than were counted stays at the end.
    sessionDone_ = std::min(sessionDone_ + 1, sessionCount_);
    SetBar(display_.sessionMaximum, display_.sessionPosition, sessionDone_, sessionCount_);
    SetPercent(display_.sessionPercent, shown_.sessionPercent, Percent(sessionDone_, sessionCount_));
}

void TransferProgress::BeginFile(std::string_view name, std::int64_t size) {
    display_.fileName = name;
    fileBlocks_ = BlockCountOf(size);
    fileDone_ = 0;
    fileSize_ = size;
    fileBytes_ = 0;
    bytesText_ = "of " + FormatSizeText(size);
    rate_ = RateMeter{};
    sinceTexts_ = kTextInterval; // the previous file's texts stay until this file's first block
    SetBar(display_.fileMaximum, display_.filePosition, 0, fileBlocks_);
}

void TransferProgress::StepFile(std::int64_t blocks) {
    // Counts the blocks as done; an empty file never moves.
    if (fileDone_ >= fileBlocks_) {
        return;
    }
    fileDone_ = std::min(fileDone_ + blocks, fileBlocks_);
    SetBar(display_.fileMaximum, display_.filePosition, fileDone_, fileBlocks_);
    display_.bytes = bytesText_;
    SetPercent(display_.filePercent, shown_.filePercent, Percent(fileDone_, fileBlocks_));
}

void TransferProgress::EndOtherBlock(BlockClock::time_point start, BlockClock::time_point end,
                                     std::int64_t bytes) {
    runRate_.Add(bytes, std::max(end - std::max(start, runCovered_), BlockClock::duration::zero()));
    runCovered_ = std::max(runCovered_, end);
}

void TransferProgress::EndBlock(BlockClock::time_point start, BlockClock::time_point end,
                                std::int64_t bytes) {
    fileBytes_ += bytes;
    rate_.Add(bytes, end - start);
    if (parallel_) {
        EndOtherBlock(start, end, bytes);
    }
    sinceTexts_ += end - start;
    // A file that runs past its announced size has no time left, not a negative one.
    const std::int64_t left = std::max<std::int64_t>(fileSize_ - fileBytes_, 0);
    const std::optional<double> rate = rate_.BytesPerSecond();
    if (!rate || (sinceTexts_ < kTextInterval && left > 0)) {
        return;
    }
    sinceTexts_ = {};
    display_.throughput = ThroughputText(parallel_ ? runRate_.BytesPerSecond().value_or(*rate) : *rate);
    // Bounded: a huge file at a crawl would overflow the milliseconds.
    const double leftMs = std::min(static_cast<double>(left) * 1000.0 / *rate, 1e15);
    display_.timeRemaining = TimeRemainingText(std::llround(leftMs));
}

} // namespace tidewell

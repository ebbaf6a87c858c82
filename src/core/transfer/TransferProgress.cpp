#include "core/transfer/TransferProgress.h"

#include "core/remote/SizeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tidewell {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kBarLimit = 65535;
constexpr const char* kIdleTimeRemaining = "0 Sec(s).";

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

// The rounded value a time text shows, minutes kept apart from seconds; none
// for the hour form, whose decimal is left to the formatting (slow blocks there).
std::optional<double> TimeTextKey(std::int64_t ms) {
    if (ms >= 3'600'000) {
        return std::nullopt;
    }
    if (ms >= 60'000) {
        return -1.0 - std::nearbyint(static_cast<double>(ms) / 60'000.0);
    }
    return std::nearbyint(static_cast<double>(ms) / 1'000.0);
}

} // namespace

std::int64_t BlockCountOf(std::int64_t size) {
    return size > 0 ? (size + kTransferBlockSize - 1) / kTransferBlockSize : 0;
}

std::int64_t BlockElapsedMs(std::int64_t startMsOfDay, std::int64_t endMsOfDay) {
    const std::int64_t elapsed = endMsOfDay - startMsOfDay;
    return elapsed < 0 ? elapsed + kMsPerDay : elapsed;
}

std::string ThroughputText(std::int64_t averageBlockMs) {
    // Whole milliseconds over an exact numerator: 16,000 ms is exactly 1,024 bytes/sec.
    const double rate =
        static_cast<double>(kTransferBlockSize) * 1000.0 / static_cast<double>(averageBlockMs);
    char buffer[32];
    if (rate < 1024.0) {
        std::snprintf(buffer, sizeof buffer, "%.0f bytes/sec.", rate);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.1f KB/sec.", rate / 1024.0);
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

std::optional<std::int64_t> BlockStatistics::Add(std::int64_t elapsedMs) {
    if (blockCount_ - remainingBlocks_ < 2) {
        averageBlockMs_ += elapsedMs;
    } else if (elapsedMs != 0 && std::llabs(elapsedMs - averageBlockMs_) < 10'000 &&
               remainingBlocks_ % 3 == 0) {
        averageBlockMs_ = (averageBlockMs_ + elapsedMs) / 2;
    }
    // A file that runs past its announced size has no time left, not a wrapped one.
    const std::int64_t leftMs = std::max<std::int64_t>(remainingBlocks_, 0) * averageBlockMs_;
    --remainingBlocks_;
    if (averageBlockMs_ <= 0) {
        return std::nullopt;
    }
    return leftMs;
}

void TransferProgress::SetIdleTimeRemaining() {
    display_.timeRemaining = kIdleTimeRemaining;
    shown_.time = 0.0;
}

void TransferProgress::StartRun() {
    display_.animating = true;
    SetIdleTimeRemaining();
}

void TransferProgress::EndRun() {
    display_.animating = false;
    SetIdleTimeRemaining();
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
    bytesText_ = "of " + FormatSizeText(size);
    statistics_ = BlockStatistics(fileBlocks_);
    SetBar(display_.fileMaximum, display_.filePosition, 0, fileBlocks_);
}

void TransferProgress::StepFile() {
    // Counts the block about to be read as done; an empty file never moves.
    if (fileDone_ >= fileBlocks_) {
        return;
    }
    ++fileDone_;
    SetBar(display_.fileMaximum, display_.filePosition, fileDone_, fileBlocks_);
    display_.bytes = bytesText_;
    SetPercent(display_.filePercent, shown_.filePercent, Percent(fileDone_, fileBlocks_));
}

void TransferProgress::EndBlock(std::int64_t startMsOfDay, std::int64_t endMsOfDay) {
    if (const auto leftMs = statistics_.Add(BlockElapsedMs(startMsOfDay, endMsOfDay))) {
        if (statistics_.AverageBlockMs() != shown_.averageBlockMs) {
            shown_.averageBlockMs = statistics_.AverageBlockMs();
            display_.throughput = ThroughputText(shown_.averageBlockMs);
        }
        const std::optional<double> key = TimeTextKey(*leftMs);
        if (!key || key != shown_.time) {
            shown_.time = key;
            display_.timeRemaining = TimeRemainingText(*leftMs);
        }
    }
}

} // namespace tidewell

#include "core/remote/ConnectionLog.h"

#include <algorithm>
#include <utility>

namespace tidewell {

ConnectionLog::ConnectionLog() : ring_(kCapacity) {}

void ConnectionLog::Append(ftp::LogLine line) {
    auto entry = std::make_shared<Entry>(Entry{0, std::move(line)});
    std::shared_ptr<const Entry> pushedOut; // freed after the lock is let go
    const std::lock_guard lock(mutex_);
    entry->sequence = ++last_;
    if (size_ < kCapacity) {
        ring_[(oldest_ + size_) % kCapacity] = std::move(entry);
        ++size_;
        return;
    }
    pushedOut = std::exchange(ring_[oldest_], std::move(entry));
    oldest_ = (oldest_ + 1) % kCapacity;
}

std::size_t ConnectionLog::CountAfter(std::uint64_t sequence) const {
    const std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::min<std::uint64_t>(size_, last_ - std::min(sequence, last_)));
}

std::vector<std::shared_ptr<const ConnectionLog::Entry>> ConnectionLog::After(std::uint64_t sequence) const {
    std::vector<std::shared_ptr<const Entry>> lines;
    lines.reserve(CountAfter(sequence));
    const std::lock_guard lock(mutex_);
    const std::uint64_t firstKept = last_ - size_ + 1;
    const std::uint64_t first = std::max(sequence + 1, firstKept);
    for (std::uint64_t s = first; s <= last_ && lines.size() < lines.capacity(); ++s) {
        lines.push_back(ring_[(oldest_ + (s - firstKept)) % kCapacity]);
    }
    return lines;
}

void ConnectionLog::Clear() {
    std::vector<std::shared_ptr<const Entry>> empty(kCapacity);
    const std::lock_guard lock(mutex_);
    ring_.swap(empty); // the old lines are freed once the lock is let go
    oldest_ = 0;
    size_ = 0;
}

} // namespace tidewell

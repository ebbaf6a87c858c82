#pragma once

#include "core/remote/ftp/LogLine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tidewell {

// The last lines of the dialogue with the servers, numbered in the order they
// came, for the window that shows them. Connections append from their own
// threads while the window reads: every call holds the lock only to move a
// few pointers, and nothing is allocated or freed under it in proportion to
// the log's size. The oldest line goes when a new one finds the ring full.
class ConnectionLog {
public:
    static constexpr std::size_t kCapacity = 10000;

    struct Entry {
        std::uint64_t sequence = 0; // 1 for the first line ever appended
        ftp::LogLine line;
    };

    ConnectionLog();
    ConnectionLog(const ConnectionLog&) = delete;
    ConnectionLog& operator=(const ConnectionLog&) = delete;

    void Append(ftp::LogLine line);
    // The lines still kept whose sequence number is past `sequence`, oldest
    // first (0 gives them all). Lines that come while it reads wait for the next call.
    std::vector<std::shared_ptr<const Entry>> After(std::uint64_t sequence) const;
    // Forgets every line; the numbering goes on, so readers need not start over.
    void Clear();

private:
    // How many lines After(sequence) would give now.
    std::size_t CountAfter(std::uint64_t sequence) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<const Entry>> ring_; // kCapacity slots, made once
    std::size_t oldest_ = 0;                         // the slot of the oldest line kept
    std::size_t size_ = 0;
    std::uint64_t last_ = 0; // the sequence number of the newest line
};

} // namespace tidewell

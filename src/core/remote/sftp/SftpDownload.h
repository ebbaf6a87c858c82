#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tidewell::sftp {

class SftpHandle;

// The reads of one download, kept in flight ahead of the caller: requests in
// file order, each answered into a buffer of its own. A short answer is asked
// again for the rest, in its place; the first end of file in order ends the
// download, whose length is then checked against the one expected.
class SftpDownload {
public:
    // Reads `handle` from `offset`. `expectedEnd`: the length the file must have.
    SftpDownload(SftpHandle& handle, std::uint64_t offset, std::optional<std::uint64_t> expectedEnd);

    // What has arrived, up to `size`, waiting only while nothing has; 0 at
    // the end. Throws RemoteError.
    std::size_t ReadSome(char* buffer, std::size_t size);

    // Data asked for and not yet read: a round trip's worth of a fast link
    // several times over.
    static constexpr std::size_t kInFlight = 4 * 1024 * 1024;

private:
    struct Chunk {
        std::uint32_t id = 0;
        std::uint64_t offset = 0;
        std::uint32_t asked = 0;
        std::uint32_t got = 0;
        std::uint32_t taken = 0;
        bool answered = false;
        bool end = false;
        std::vector<char> data;
    };

    void Request();
    void Receive();
    void Ask(Chunk& chunk, std::string& requests);
    void End();
    void CheckEnd() const;
    void Recycle(Chunk& chunk);

    SftpHandle& handle_;
    std::uint64_t position_;
    std::uint64_t next_;
    std::optional<std::uint64_t> expectedEnd_;
    // Requests go no further than this (and one past it, to see the end),
    // until the file turns out longer.
    std::optional<std::uint64_t> stopAt_;
    bool ended_ = false;
    std::deque<Chunk> chunks_;
    std::vector<std::vector<char>> spare_;
};

} // namespace tidewell::sftp

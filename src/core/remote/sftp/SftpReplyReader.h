#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell::sftp {

class SftpChannel;

// The fields of one reply's body, read in order; a field that runs past the
// body is the server breaking the protocol, which the channel is told of
// (SftpChannel::Malformed throws).
class SftpReplyReader {
public:
    SftpReplyReader(SftpChannel& channel, std::string_view body) : channel_(channel), rest_(body) {}

    std::uint32_t U32();
    std::uint64_t U64();
    // At most `most` bytes long, or the reply is malformed.
    std::string_view String(std::size_t most);
    bool AtEnd() const { return rest_.empty(); }
    // Leaves out `size` bytes.
    void Skip(std::size_t size);

private:
    std::string_view Take(std::size_t size);

    SftpChannel& channel_;
    std::string_view rest_;
};

} // namespace tidewell::sftp

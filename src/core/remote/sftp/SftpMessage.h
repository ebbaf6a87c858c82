#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell::sftp {

// One request of SFTP version 3 as it goes on the wire: its length, type and
// (but for INIT) id, then the fields in network byte order.
class SftpMessage {
public:
    SftpMessage(std::uint8_t type, std::uint32_t id);
    // INIT, the one request without an id.
    explicit SftpMessage(std::uint8_t type);

    SftpMessage& U32(std::uint32_t value);
    SftpMessage& U64(std::uint64_t value);
    SftpMessage& String(std::string_view value);

    // The whole request, its length counting `following` bytes sent after it
    // (a write's data).
    const std::string& Bytes(std::size_t following = 0);

private:
    std::string bytes_;
};

} // namespace tidewell::sftp

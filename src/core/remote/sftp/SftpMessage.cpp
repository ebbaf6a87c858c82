#include "core/remote/sftp/SftpMessage.h"

namespace tidewell::sftp {

SftpMessage::SftpMessage(std::uint8_t type) {
    bytes_.reserve(64);
    U32(0);
    bytes_.push_back(static_cast<char>(type));
}

SftpMessage::SftpMessage(std::uint8_t type, std::uint32_t id) : SftpMessage(type) {
    U32(id);
}

SftpMessage& SftpMessage::U32(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes_.push_back(static_cast<char>(value >> shift));
    }
    return *this;
}

SftpMessage& SftpMessage::U64(std::uint64_t value) {
    U32(static_cast<std::uint32_t>(value >> 32));
    return U32(static_cast<std::uint32_t>(value));
}

SftpMessage& SftpMessage::String(std::string_view value) {
    U32(static_cast<std::uint32_t>(value.size()));
    bytes_.append(value);
    return *this;
}

const std::string& SftpMessage::Bytes(std::size_t following) {
    const auto length = static_cast<std::uint32_t>(bytes_.size() - 4 + following);
    for (int i = 0; i < 4; ++i) {
        bytes_[static_cast<std::size_t>(i)] = static_cast<char>(length >> (24 - 8 * i));
    }
    return bytes_;
}

} // namespace tidewell::sftp

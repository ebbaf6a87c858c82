#include "core/remote/sftp/SftpReplyReader.h"

#include "core/remote/sftp/SftpChannel.h"

namespace tidewell::sftp {

std::string_view SftpReplyReader::Take(std::size_t size) {
    if (size > rest_.size()) {
        channel_.Malformed("a reply shorter than its fields");
    }
    const auto taken = rest_.substr(0, size);
    rest_.remove_prefix(size);
    return taken;
}

std::uint32_t SftpReplyReader::U32() {
    const auto bytes = Take(4);
    std::uint32_t value = 0;
    for (const char byte : bytes) {
        value = value << 8 | static_cast<unsigned char>(byte);
    }
    return value;
}

std::uint64_t SftpReplyReader::U64() {
    const std::uint64_t high = U32();
    return high << 32 | U32();
}

std::string_view SftpReplyReader::String(std::size_t most) {
    const auto size = U32();
    if (size > most) {
        channel_.Malformed("a field of " + std::to_string(size) + " bytes where " + std::to_string(most) +
                           " at most were expected");
    }
    return Take(size);
}

void SftpReplyReader::Skip(std::size_t size) {
    Take(size);
}

} // namespace tidewell::sftp

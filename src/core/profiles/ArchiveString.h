#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

// The unit of the settings file: a length prefix of 1, 3 or 7 bytes, then the
// text's bytes without a terminator.
class ArchiveWriter {
public:
    void WriteString(std::string_view text);
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view data) : data_(data) {}
    // The reader only views its data: a temporary string would be gone before
    // the first read.
    explicit ArchiveReader(std::string&&) = delete;

    // std::nullopt when the prefix or the text runs past the end of the data;
    // the position is then left where it was.
    std::optional<std::string> ReadString();
    bool AtEnd() const { return pos_ == data_.size(); }
    std::size_t Position() const { return pos_; }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

// Passwords are stored lowered by a fixed byte amount, so that they are not
// plain text in the file. It hides them from a casual look only.
inline constexpr std::uint8_t kPasswordShift = 7;

std::string EncodePassword(std::string_view plain);
std::string DecodePassword(std::string_view encoded);

} // namespace tidewell

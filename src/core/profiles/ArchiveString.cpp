#include "core/profiles/ArchiveString.h"

namespace tidewell {

namespace {

void AppendLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::optional<std::uint64_t> TakeLittleEndian(std::string_view data, std::size_t& pos, int bytes) {
    if (data.size() - pos < static_cast<std::size_t>(bytes)) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(data[pos + i])} << (8 * i);
    }
    pos += bytes;
    return value;
}

} // namespace

void ArchiveWriter::WriteString(std::string_view text) {
    const std::uint64_t n = text.size();
    if (n < 0xFF) {
        AppendLittleEndian(bytes_, n, 1);
    } else if (n < 0xFFFE) {
        bytes_.push_back('\xFF');
        AppendLittleEndian(bytes_, n, 2);
    } else {
        bytes_.push_back('\xFF');
        AppendLittleEndian(bytes_, 0xFFFF, 2);
        AppendLittleEndian(bytes_, n, 4);
    }
    bytes_.append(text);
}

std::optional<std::string> ArchiveReader::ReadString() {
    std::size_t pos = pos_;
    auto length = TakeLittleEndian(data_, pos, 1);
    if (length && *length == 0xFF) {
        length = TakeLittleEndian(data_, pos, 2);
        if (length && *length == 0xFFFF) {
            length = TakeLittleEndian(data_, pos, 4);
        }
    }
    // A prefix larger than what is left is a cut-short record, never an allocation.
    if (!length || *length > data_.size() - pos) {
        return std::nullopt;
    }
    std::string text(data_.substr(pos, static_cast<std::size_t>(*length)));
    pos_ = pos + static_cast<std::size_t>(*length);
    return text;
}

std::string EncodePassword(std::string_view plain) {
    std::string out(plain);
    for (char& c : out) {
        c = static_cast<char>(static_cast<std::uint8_t>(c) - kPasswordShift);
    }
    return out;
}

std::string DecodePassword(std::string_view encoded) {
    std::string out(encoded);
    for (char& c : out) {
        c = static_cast<char>(static_cast<std::uint8_t>(c) + kPasswordShift);
    }
    return out;
}

} // namespace tidewell

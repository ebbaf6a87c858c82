#include "core/transfer/FileDigest.h"

#include "core/remote/CancelScope.h"
#include "core/transfer/LocalFile.h"

#include <array>
#include <cstdio>
#include <vector>

namespace tidewell {

namespace {
// The reflected IEEE polynomial of zlib's crc32, one entry per byte value.
constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

// Few enough reads for a file of GiBs, and small enough to stay in cache.
constexpr std::size_t kBlock = 1024 * 1024;

QCryptographicHash::Algorithm QtAlgorithm(HashAlgorithm algorithm) {
    switch (algorithm) {
    case HashAlgorithm::Sha1:
        return QCryptographicHash::Sha1;
    case HashAlgorithm::Md5:
        return QCryptographicHash::Md5;
    default:
        return QCryptographicHash::Sha256;
    }
}
} // namespace

FileDigest::FileDigest(HashAlgorithm algorithm) {
    if (algorithm != HashAlgorithm::Crc32) {
        hash_.emplace(QtAlgorithm(algorithm));
    }
}

void FileDigest::Add(std::string_view bytes) {
    if (hash_) {
        hash_->addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return;
    }
    for (const char byte : bytes) {
        crc_ = kCrcTable[(crc_ ^ static_cast<unsigned char>(byte)) & 0xffu] ^ (crc_ >> 8);
    }
}

std::string FileDigest::Hex() const {
    if (hash_) {
        return hash_->result().toHex().toStdString();
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(crc_ ^ 0xffffffffu));
    return hex;
}

std::optional<std::string> FileDigest::OfFile(const std::filesystem::path& path, HashAlgorithm algorithm) {
    auto file = LocalFile::Open(path);
    if (!file) {
        return std::nullopt;
    }
    FileDigest digest(algorithm);
    std::vector<char> block(kBlock);
    const auto* cancel = CancelScope::Flag();
    for (;;) {
        if (cancel && cancel->load()) {
            return std::nullopt;
        }
        const auto got = file->Read(block.data(), block.size());
        if (!got) {
            return std::nullopt;
        }
        digest.Add(std::string_view(block.data(), *got));
        if (*got < block.size()) {
            return digest.Hex();
        }
    }
}

} // namespace tidewell

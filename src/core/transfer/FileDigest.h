#pragma once

#include "core/remote/RemoteHash.h"

#include <QCryptographicHash>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

// A digest of local bytes in the form a server's hash command gives it
// (lowercase hex; CRC-32 the zlib one, as XCRC and HASH CRC32 compute it), so
// that a transferred file can be compared with the server's copy.
class FileDigest {
public:
    explicit FileDigest(HashAlgorithm algorithm);

    void Add(std::string_view bytes);
    // The digest of everything added so far.
    std::string Hex() const;

    // The whole file's digest, read in large blocks; std::nullopt when it
    // cannot be read, or a cancel (CancelScope) cut the reading short.
    static std::optional<std::string> OfFile(const std::filesystem::path& path, HashAlgorithm algorithm);

private:
    std::optional<QCryptographicHash> hash_; // all but CRC-32
    std::uint32_t crc_ = 0xffffffffu;
};

} // namespace tidewell

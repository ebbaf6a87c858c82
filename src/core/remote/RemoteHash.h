#pragma once

#include <cstddef>
#include <string>

namespace tidewell {

// The digests compared after a transfer, strongest first.
enum class HashAlgorithm { Sha256, Sha1, Md5, Crc32 };

// How many hex digits a digest of `algorithm` has.
constexpr std::size_t HexDigits(HashAlgorithm algorithm) {
    switch (algorithm) {
    case HashAlgorithm::Sha256:
        return 64;
    case HashAlgorithm::Sha1:
        return 40;
    case HashAlgorithm::Md5:
        return 32;
    case HashAlgorithm::Crc32:
        return 8;
    }
    return 0;
}

// A whole file's digest as the server computed it.
struct RemoteHash {
    HashAlgorithm algorithm = HashAlgorithm::Sha256;
    std::string hex; // lowercase, HexDigits(algorithm) long

    bool operator==(const RemoteHash&) const = default;
};

} // namespace tidewell

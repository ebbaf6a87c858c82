#pragma once

#include "core/remote/RemoteHash.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell::ftp {

class ControlChannel;

// The commands a server offers (by FEAT) for a whole file's digest, and how
// their replies read. HASH (draft-bryan-ftpext-hash) works with the algorithm
// OPTS HASH chose and names it in its reply; XSHA256, XSHA1, XMD5 and XCRC
// have one algorithm each and answer the bare digest.
class HashCommands {
public:
    struct Way {
        HashAlgorithm algorithm;
        std::string_view verb;     // "HASH", "XSHA256", ...
        std::string_view hashName; // HASH's name of the algorithm; empty for the others
    };

    explicit HashCommands(const ControlChannel& channel);

    // Strongest algorithm first; for the same algorithm, HASH first.
    const std::vector<Way>& Ways() const { return ways_; }
    // HASH's algorithm before any OPTS HASH (the one FEAT marks with "*").
    const std::string& Current() const { return current_; }

    // The digest a 2xx reply to `way` gives; std::nullopt unless the reply has
    // the command's form and a digest of its algorithm's length.
    static std::optional<RemoteHash> Read(const Way& way, std::string_view replyLine);

private:
    std::vector<Way> ways_;
    std::string current_;
};

} // namespace tidewell::ftp

#include "core/remote/ftp/ListingParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void Check(std::string_view text, std::int64_t now) {
    const auto entries = tidewell::ftp::ParseListing(text, tidewell::ftp::ListingFormat::List, now);
    if (!entries) {
        return;
    }
    for (const auto& entry : *entries) {
        // Every entry has a name, and no entry spans lines.
        if (entry.name.empty() || entry.name.find('\n') != std::string_view::npos) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A present-day clock, then one taken from the input so odd clocks are tried too.
    Check(text, 1796589600);
    if (size >= sizeof(std::int64_t)) {
        std::int64_t now = 0;
        std::memcpy(&now, data, sizeof now);
        Check(text.substr(sizeof now), now);
    }
    return 0;
}

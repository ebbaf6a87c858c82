#include "core/remote/ftp/ListingParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entries = tidewell::ftp::ParseListing(text, tidewell::ftp::ListingFormat::Mlsd, 0);
    if (entries) {
        for (const auto& entry : *entries) {
            // Every entry has a name, and no entry spans lines.
            if (entry.name.empty() || entry.name.find('\n') != std::string_view::npos) {
                std::abort();
            }
        }
    }
    return 0;
}

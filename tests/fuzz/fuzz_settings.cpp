// Arbitrary bytes as a settings file: decoding never crashes, never reads out
// of bounds, and whatever decodes re-encodes to the same records.
#include "core/profiles/SettingsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tidewell::DecodeResult decoded = tidewell::SettingsFile::Decode(bytes);
    if (decoded.status == tidewell::SettingsStatus::Ok) {
        const std::string again = tidewell::SettingsFile::Encode(decoded.profiles, true);
        const tidewell::DecodeResult twice = tidewell::SettingsFile::Decode(again);
        if (twice.status != tidewell::SettingsStatus::Ok || twice.profiles != decoded.profiles ||
            twice.trailingBytes != 0 || again.size() > size) {
            std::abort();
        }
    }
    return 0;
}

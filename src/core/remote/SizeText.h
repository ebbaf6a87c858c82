#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

// " Bytes" below 1 KiB, " KB" below 1 MiB, " MB" above, with two decimals.
std::string FormatSizeText(std::int64_t n);

// A listed time as the locale's "%x %X". Listed times carry the server's
// clock fields, so they are shown field by field, without a zone conversion.
std::string FormatDateText(std::int64_t time);

} // namespace tidewell

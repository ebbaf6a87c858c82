#include "core/remote/SizeText.h"

#include <cstdio>
#include <ctime>

namespace tidewell {

std::string FormatSizeText(std::int64_t n) {
    char text[64];
    if (n < 1024) {
        std::snprintf(text, sizeof text, "%lld Bytes", static_cast<long long>(n));
    } else if (n < 1048576) {
        std::snprintf(text, sizeof text, "%.2f KB", static_cast<double>(n) / 1024.0);
    } else {
        std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(n) / 1048576.0);
    }
    return text;
}

std::string FormatDateText(std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm fields{};
    if (gmtime_r(&t, &fields) == nullptr) {
        return {};
    }
    char text[128];
    const std::size_t n = std::strftime(text, sizeof text, "%x %X", &fields);
    return std::string(text, n);
}

} // namespace tidewell

#include "core/remote/sftp/SftpPath.h"

#include <vector>

namespace tidewell::sftp {

std::string AbsolutePath(std::string_view current, std::string_view path) {
    std::string whole =
        path.starts_with('/') ? std::string(path) : std::string(current) + "/" + std::string(path);
    std::vector<std::string_view> parts;
    const std::string_view text(whole);
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('/', start), text.size());
        const auto part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const auto part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

} // namespace tidewell::sftp

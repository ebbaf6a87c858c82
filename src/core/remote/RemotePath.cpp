#include "core/remote/RemotePath.h"

namespace tidewell {

std::string ChildDirectory(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

std::string ParentDirectory(std::string_view directory) {
    std::string path(directory);
    if (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        path.erase(slash);
        return path;
    }
    return "/";
}

} // namespace tidewell

#include "core/app/CommandLine.h"

namespace tidewell {

std::vector<std::string> CommandLinePaths(const std::vector<std::string>& args, std::string_view home,
                                          const std::filesystem::path& workingDirectory) {
    namespace fs = std::filesystem;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (arg.empty() || (arg == "--" && !optionsEnded)) {
            optionsEnded = optionsEnded || !arg.empty();
            continue;
        }
        fs::path path(arg);
        if (!home.empty() && (arg == "~" || arg.starts_with("~/"))) {
            path = fs::path(home) / arg.substr(arg.size() > 1 ? 2 : 1);
        }
        if (path.is_relative()) {
            path = workingDirectory / path;
        }
        paths.push_back(path.lexically_normal().string());
    }
    return paths;
}

} // namespace tidewell

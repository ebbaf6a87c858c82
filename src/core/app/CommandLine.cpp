#include "core/app/CommandLine.h"

namespace tidewell {

std::string BuildParameterString(const std::vector<std::string>& args) {
    std::string parameters;
    for (const std::string& arg : args) {
        const bool flag = !arg.empty() && (arg.front() == '/' || arg.front() == '-');
        const std::string_view text = flag ? std::string_view(arg).substr(1) : std::string_view(arg);
        if (parameters.empty()) {
            parameters = text;
        } else {
            parameters += ' ';
            parameters += text;
        }
    }
    return parameters;
}

std::vector<std::string> SplitCommandWords(std::string parameters) {
    std::vector<std::string> words;
    for (std::size_t blank = parameters.find(' '); blank != std::string::npos && blank > 0;
         blank = parameters.find(' ')) {
        words.push_back(parameters.substr(0, blank));
        parameters.erase(0, blank + 1);
    }
    if (!parameters.empty()) {
        words.push_back(std::move(parameters));
    }
    return words;
}

} // namespace tidewell

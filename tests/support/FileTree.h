#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tidewell::test {

inline std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void Write(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Every entry below root, relative, with its content ("<dir>" for a directory,
// the size for a long file); temporary files show up too.
inline std::map<std::string, std::string> Tree(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = std::filesystem::relative(entry.path(), root).string();
        const std::string content = entry.is_directory() ? "<dir>" : Read(entry.path());
        files[relative] = content.size() < 100 ? content : std::to_string(content.size()) + " bytes";
    }
    return files;
}

} // namespace tidewell::test

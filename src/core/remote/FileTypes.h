#pragma once

#include <QMimeDatabase>

#include <string>
#include <string_view>
#include <unordered_map>

namespace tidewell {

// What the desktop calls a file of a given name, and the icon it shows for it.
// Judged by the name alone; the file is never read.
struct FileType {
    std::string typeName;
    std::string iconName;        // a theme icon name, e.g. "text-x-c++src"
    std::string genericIconName; // its family, e.g. "text-x-generic"
};

// Lookups are cached by extension, so long listings of similar names stay
// cheap. One instance per thread.
class FileTypes {
public:
    const FileType& ForName(std::string_view name);

private:
    QMimeDatabase database_;
    std::unordered_map<std::string, FileType> byKey_;
};

} // namespace tidewell

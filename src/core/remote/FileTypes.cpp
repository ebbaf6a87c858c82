#include "core/remote/FileTypes.h"

#include <QFileInfo>
#include <QMimeType>

#include <cctype>

namespace tidewell {

namespace {

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// Names with the same extensions get the same type; names without one are
// matched whole ("Makefile", "README").
std::string CacheKey(std::string_view name) {
    const auto dot = name.find('.');
    if (dot == std::string_view::npos || dot == 0) {
        return std::string(name);
    }
    return Lowered(name.substr(dot));
}

FileType Describe(const QMimeDatabase& database, std::string_view name) {
    const QString fileName = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const QMimeType mime = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    FileType type;
    if (mime.isValid() && !mime.isDefault()) {
        type.typeName = mime.comment().toStdString();
        type.iconName = mime.iconName().toStdString();
        type.genericIconName = mime.genericIconName().toStdString();
        return type;
    }
    const QString suffix = QFileInfo(fileName).suffix();
    type.typeName = suffix.isEmpty() ? "File" : (suffix.toUpper() + " File").toStdString();
    return type;
}

} // namespace

const FileType& FileTypes::ForName(std::string_view name) {
    auto key = CacheKey(name);
    auto found = byKey_.find(key);
    if (found == byKey_.end()) {
        found = byKey_.emplace(std::move(key), Describe(database_, name)).first;
    }
    return found->second;
}

} // namespace tidewell

#include "core/session/Navigation.h"

#include "core/remote/RemotePath.h"

namespace tidewell {

Navigation::Navigation(std::string directory, std::string loginDirectory, std::string listedDirectory)
    : directory_(std::move(directory)), loginDirectory_(std::move(loginDirectory)),
      listedDirectory_(std::move(listedDirectory)) {}

std::string Navigation::Up() const {
    return ParentDirectory(directory_);
}

Navigation::RowMove Navigation::Open(std::string_view name, bool isDirectory) const {
    RowMove move{directory_.empty() ? loginDirectory_ : directory_, std::nullopt};
    if (isDirectory) {
        move.next = name == ".." ? ParentDirectory(move.directory) : ChildDirectory(move.directory, name);
    }
    return move;
}

std::string Navigation::Current() const {
    if (!listedDirectory_.empty()) {
        return listedDirectory_;
    }
    return directory_.empty() ? loginDirectory_ : directory_;
}

} // namespace tidewell

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

// Where the browse commands lead. Moves work on the site's Directory text as
// stored, never on unsaved typing and never by asking the server to resolve
// ".."; an empty Directory stands for the login directory, which is where
// Home leads. Login and Refresh list the Directory as it stands.
class Navigation {
public:
    Navigation(std::string directory, std::string loginDirectory, std::string listedDirectory);

    // One level above the stored Directory, even while it is empty.
    std::string Up() const;

    // What a double click on a row does.
    struct RowMove {
        // The Directory to store first: while it is empty, the login directory
        // takes its place (for a file row too), so that moves have a start.
        std::string directory;
        // The Directory to list next; none for a file row.
        std::optional<std::string> next;
    };
    RowMove Open(std::string_view name, bool isDirectory) const;

    // The full path of the directory the list shows, which runs start from:
    // as the server resolved it (the Directory may be relative), else the
    // stored Directory or the login directory it stands for.
    std::string Current() const;

private:
    std::string directory_;
    std::string loginDirectory_;
    std::string listedDirectory_;
};

} // namespace tidewell

#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// Keeps a tree walk (download, delete, upload) to the trees the user chose.
// A directory is known by what it really is: its real path, as the server
// reports it once the walk stands in it (or the local file system resolves
// it), never by the path text the walk took to reach it. So a link can lead
// the walk neither outside the chosen trees nor around in a loop, and a
// directory reached twice is walked once.
class TreeBounds {
public:
    enum class Verdict {
        Walk,    // a new directory inside a chosen tree
        Seen,    // walked already (or about to be, at its own place): left out silently
        Outside, // leads out of the chosen trees, back into an ancestor, or nobody can tell where
    };

    // A directory the user chose, at its real path. Seen when a tree chosen
    // before already holds it.
    Verdict AddRoot(std::string_view real);

    // A directory met in a walk: `expected` is the real path of the directory
    // that lists it joined with its name, `real` where entering it led.
    // `listedAsLink`: the listing marked it as a link. Where the server reports
    // the path taken rather than the one reached, a link's target cannot be
    // known, and it is not followed. An Outside verdict notes `expected`.
    Verdict Admit(std::string_view expected, std::string_view real, bool listedAsLink);

    // Names a directory for the one message of the run (Admit notes Outside itself).
    void NoteOutside(std::string path) { outside_.push_back(std::move(path)); }
    const std::vector<std::string>& Outside() const { return outside_; }

    // "/a/b/" and "/a/b" are one directory.
    static std::string Normal(std::string_view path);
    // Whether `path` is `tree` or lies below it.
    static bool Within(std::string_view path, std::string_view tree);

private:
    Verdict Judge(std::string_view expected, std::string_view real, bool listedAsLink);

    std::vector<std::string> roots_;
    std::set<std::string> seen_;
    std::vector<std::string> outside_;
};

} // namespace tidewell

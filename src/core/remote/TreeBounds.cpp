#include "core/remote/TreeBounds.h"

#include <algorithm>

namespace tidewell {

std::string TreeBounds::Normal(std::string_view path) {
    std::string normal(path);
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

bool TreeBounds::Within(std::string_view path, std::string_view tree) {
    if (!path.starts_with(tree)) {
        return false;
    }
    return path.size() == tree.size() || tree.ends_with('/') || path[tree.size()] == '/';
}

TreeBounds::Verdict TreeBounds::AddRoot(std::string_view real) {
    std::string root = Normal(real);
    if (std::any_of(roots_.begin(), roots_.end(),
                    [&](const std::string& tree) { return Within(root, tree); })) {
        return Verdict::Seen;
    }
    seen_.insert(root);
    roots_.push_back(std::move(root));
    return Verdict::Walk;
}

TreeBounds::Verdict TreeBounds::Admit(std::string_view expected, std::string_view real, bool listedAsLink) {
    const Verdict verdict = Judge(expected, real, listedAsLink);
    if (verdict == Verdict::Outside) {
        NoteOutside(std::string(expected));
    }
    return verdict;
}

TreeBounds::Verdict TreeBounds::Judge(std::string_view expected, std::string_view realText,
                                      bool listedAsLink) {
    const std::string real = Normal(realText);
    if (listedAsLink && real == Normal(expected)) {
        return Verdict::Outside;
    }
    if (std::none_of(roots_.begin(), roots_.end(),
                     [&](const std::string& tree) { return Within(real, tree); })) {
        return Verdict::Outside;
    }
    if (!seen_.insert(real).second) {
        // Reached again: a link back into the walk's own ancestors is a loop
        // worth naming; any other directory is simply walked once.
        return Within(Normal(expected), real) ? Verdict::Outside : Verdict::Seen;
    }
    return Verdict::Walk;
}

} // namespace tidewell

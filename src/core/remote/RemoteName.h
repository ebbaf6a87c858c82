#pragma once

#include <string_view>

namespace tidewell {

// Whether a name from a listing, or one the user typed, names exactly one
// entry of one directory: not empty, not "." or "..", and without "/", "\",
// CR, LF or NUL. Anything else could reach past the directory it was listed
// in (a server's "../escape.txt", a rename to "sub/c.txt"), so it is never
// sent to a server nor joined to a local path.
bool IsPlainName(std::string_view name);

} // namespace tidewell

#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// Navigation works on the stored directory text alone; the server is never
// asked to resolve "..".

// The directory `name` below `directory`, joined with exactly one "/".
std::string ChildDirectory(std::string_view directory, std::string_view name);

// One level up: a trailing "/" is dropped, then the text is cut before its last
// "/"; with no "/" past the first character the result is the root "/".
std::string ParentDirectory(std::string_view directory);

} // namespace tidewell

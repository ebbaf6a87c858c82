#pragma once

#include <string>
#include <string_view>

namespace tidewell::sftp {

// `path` made absolute against the absolute directory `current`, with ".",
// ".." and repeated "/" resolved in the text alone ("/.." stays "/"): the
// client keeps the current directory itself, as SFTP has none.
std::string AbsolutePath(std::string_view current, std::string_view path);

} // namespace tidewell::sftp

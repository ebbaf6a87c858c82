#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// The paths named on the command line (after the program name and the options
// the toolkit took out), each to be uploaded into the first site at start-up.
// Every argument is one path, blanks and leading "/" or "-" included: the
// program has no options of its own, and "--" is passed over as the usual
// end of options. "~" and "~/..." start at `home`; a relative path is taken
// from `workingDirectory`, so what the user typed in a shell is what uploads.
std::vector<std::string> CommandLinePaths(const std::vector<std::string>& args, std::string_view home,
                                          const std::filesystem::path& workingDirectory);

} // namespace tidewell

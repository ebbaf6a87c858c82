#pragma once

#include <string>
#include <vector>

namespace tidewell {

// Joins the process arguments (after the program name) with single blanks.
// A leading "/" or "-" of an argument is dropped, and an empty result so far is
// replaced by the next argument instead of being joined to it.
std::string BuildParameterString(const std::vector<std::string>& args);

// Splits at blanks (only 0x20) while the next blank is not the first character;
// whatever is left then, a leading blank included, is the last word.
std::vector<std::string> SplitCommandWords(std::string parameters);

} // namespace tidewell

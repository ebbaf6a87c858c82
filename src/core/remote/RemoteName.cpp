#include "core/remote/RemoteName.h"

namespace tidewell {

bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\r\n\0", 5)) == std::string_view::npos;
}

} // namespace tidewell

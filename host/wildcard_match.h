// The host's file-name wildcard match: "*" matches any run of characters, "?" any one
// character, everything else itself without regard to case (OEM code page). "*.*" matches every
// name, as file managers take it.
#pragma once

#include <string_view>

namespace kestrova::host {

// With skipPath, only the part of name after its last "\" or "/" is matched.
bool WildcardMatch(std::string_view pattern, std::string_view name, bool skipPath);

}  // namespace kestrova::host

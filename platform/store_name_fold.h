// Case folding of settings-store names: the OEM text with every letter in upper case, so that
// names compare and sort without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

std::string FoldStoreName(std::string_view name);

}  // namespace kestrova::platform

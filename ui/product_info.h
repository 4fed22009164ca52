// The product information lines, shown by the last configuration entry and in the registry-mode
// info panel. Built when the module is loaded; cleared when the host unloads it.
#pragma once

#include "common/string_list.h"

namespace kestrova {

inline constexpr int kProductInfoLines = 12;
inline constexpr const char* kProductName = "Kestrova";
// The project version (CMake), the same that `kestrova --version` prints.
extern const char* const kProductVersion;

extern TStringList ProductInfo;

}  // namespace kestrova

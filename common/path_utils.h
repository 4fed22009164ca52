// Path combining for file paths and settings-store key paths; the separator is a parameter.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

std::string IncludeTrailingSeparator(std::string_view path, char separator);
std::string CombinePath(std::string_view base, std::string_view name, char separator);
bool RemoveLastComponent(std::string& path, char separator);

}  // namespace kestrova

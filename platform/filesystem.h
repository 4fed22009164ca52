// The file system with OEM names: names are converted to UTF-8 at the syscall edge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova::platform {

constexpr char kPathDelim = '/';

// KESTROVA_HOME, default $XDG_DATA_HOME/kestrova or ~/.local/share/kestrova (OEM text). Created
// on first use. Stands for the folder of the module file (settings, Cache, logs).
std::string HomeFolder();

std::string ToNativePath(std::string_view oemPath);  // OEM -> UTF-8
std::string FromNativePath(std::string_view nativePath);  // UTF-8 -> OEM

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);
bool CreateDirectory(std::string_view path);  // one level
bool DeleteFile(std::string_view path);
bool RemoveDirectory(std::string_view path);
bool RenameFile(std::string_view from, std::string_view to);

// Attributes, size and times of a file or folder in the host's find-data record (name part only).
bool GetFindData(std::string_view path, FAR_FIND_DATA& data);

// The temporary folder with a trailing delimiter ($TMPDIR or /tmp).
std::string TempFolder();
// Creates a new empty file with a unique name in folder; empty on failure.
std::string CreateTempFile(std::string_view folder, std::string_view prefix);

}  // namespace kestrova::platform

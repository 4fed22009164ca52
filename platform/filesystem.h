// The file system with OEM names: names are converted to UTF-8 at the syscall edge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova::platform {

constexpr char kPathDelim = '/';

// KESTROVA_HOME, default $XDG_DATA_HOME/kestrova or ~/.local/share/kestrova (OEM text, without a
// trailing delimiter). Created with its missing parents, private to the user (0700), on each
// call that finds it missing.
// Stands for the folder of the module file (settings, Cache, logs).
std::string HomeFolder();

std::string ToNativePath(std::string_view oemPath);       // OEM -> UTF-8
std::string FromNativePath(std::string_view nativePath);  // UTF-8 -> OEM

bool FileExists(std::string_view path);  // exists and is not a folder
bool DirectoryExists(std::string_view path);
bool CreateDirectory(std::string_view path);         // one level
bool CreatePrivateDirectory(std::string_view path);  // one level, for the user alone (0700)
bool DeleteFile(std::string_view path);
bool RemoveDirectory(std::string_view path);  // only an empty one
// Fails, changing nothing, when to already exists.
bool RenameFile(std::string_view from, std::string_view to);
// Renames from to to in one step, replacing a file that to names.
bool ReplaceFile(std::string_view from, std::string_view to);

// Attributes (FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_ARCHIVE for anything else),
// size and times (creation, last access, last write) of a file or folder in the host's
// find-data record. cFileName gets the name part only, cut to fit. A link that points nowhere is
// described itself.
bool GetFindData(std::string_view path, FAR_FIND_DATA& data);

// The temporary folder with a trailing delimiter ($TMPDIR or /tmp).
std::string TempFolder();
// Who may read a file that CreateTempFile makes.
enum class TempAccess {
    Private,  // the user alone (0600)
    LikeNew,  // as any new file of the user (0666 less the umask): one renamed into place
};
// Creates a new empty file named prefix + six unique characters + ".tmp" in folder (with or
// without a trailing delimiter); empty on failure, e.g. a missing folder or a prefix holding
// the delimiter.
std::string CreateTempFile(std::string_view folder, std::string_view prefix,
                           TempAccess access = TempAccess::Private);

}  // namespace kestrova::platform

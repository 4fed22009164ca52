// Backing up and moving the settings store as text: every key and value of HKEY_CURRENT_USER
// in the format of settings_text_reader.h. Strings are written as UTF-8 text when that gives
// back their exact bytes, otherwise as hex(1).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrova::platform {

// Why an export or import failed, as the message to show.
class SettingsTransferError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The text of the key at keyPath (relative to HKEY_CURRENT_USER; empty: the whole store) and
// everything below it, in the file's format without its first line; nullopt when the key does
// not exist. Raises SettingsTransferError when a part of it cannot be read or written as text.
std::optional<std::string> SettingsText(std::string_view keyPath);

// Writes the whole store to the file at path (a native path), replacing it only when complete.
// Raises SettingsTransferError with the reason on failure.
void ExportSettings(const std::string& path);

// Applies the file at path to the store in one transaction. A file with a wrong line changes
// nothing and raises SettingsTransferError "<path>: line N: <what is wrong>".
void ImportSettings(const std::string& path);

}  // namespace kestrova::platform

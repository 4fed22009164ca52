// Reader of the settings text format (REGEDIT4 style, UTF-8):
//   REGEDIT4
//   [HKEY_CURRENT_USER\Software\Far\Plugins\Kestrova\INTERFACE]
//   "Sound alert"="1"           string (stored with its terminating NUL)
//   @="..."                      the key's default value
//   "Flags"=dword:0000001f       REG_DWORD, 4 bytes little-endian
//   "Stamp"=hex:00,ff,...        REG_BINARY; hex(N): gives the type N (hex(1) a string's exact
//   bytes) "Gone"=-                     deletes the value
//   [-HKEY_CURRENT_USER\Old]     deletes the key and everything below it
// Lines starting with ";" are comments; a line ending in "\" continues on the next. Inside
// quotes, backslash and double quote are written \\ and \".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::platform {

// One change the text asks for. Names and text are OEM, paths relative to HKEY_CURRENT_USER.
struct SettingsEdit {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind;
    int line;  // where the text asks for it
    std::string keyPath;
    std::string valueName;
    uint32_t type = 0;
    std::string data;
};

class SettingsFormatError : public std::runtime_error {
  public:
    SettingsFormatError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), Line(line) {}
    int Line;
};

// The edits of a whole text, in order; raises SettingsFormatError at the first wrong line.
std::vector<SettingsEdit> ReadSettingsText(std::string_view text);

}  // namespace kestrova::platform

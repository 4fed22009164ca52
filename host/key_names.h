// Key names as a user writes them: an optional chain of modifiers and a key, joined by "+" or
// "-": "F7", "Ctrl+R", "Shift-F4", "Ctrl+Shift+Ins", "Alt+F7", "Enter", "A", "Ctrl+1".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrova::host {

struct KeyPress {
    int VirtualKey = 0;
    unsigned ControlState = 0;  // PKF_CONTROL, PKF_ALT, PKF_SHIFT
    bool operator==(const KeyPress&) const = default;
};

// Case-insensitive; nullopt for an unknown key or modifier.
std::optional<KeyPress> ParseKey(std::string_view text);
// The canonical name ("Ctrl+Shift+Ins").
std::string KeyName(const KeyPress& key);

}  // namespace kestrova::host

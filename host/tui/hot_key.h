// Hot keys marked with '&' in the texts of buttons, check boxes, labels and menu entries.
#pragma once

#include <string>
#include <string_view>

#include "host/tui/keystroke.h"

namespace kestrova::host::tui {

struct MarkedText {
    std::string Text;   // as shown: each '&' mark removed, "&&" shown as one '&'
    int HotIndex = -1;  // position of the hot key in Text, -1 for none
    // The character at HotIndex, 0 for none.
    char32_t HotKey() const;
};

// showAmpersand keeps every '&' as text (no hot key).
MarkedText ParseMarkedText(std::string_view text, bool showAmpersand = false);

// The character a keystroke names for hot keys: the typed character, or the letter or digit of
// an Alt or plain key; 0 for none. Upper case (OEM letters too).
char32_t HotKeyOf(const Keystroke& key);
// Upper case of an OEM character.
char32_t UpperCharacter(char32_t c);

}  // namespace kestrova::host::tui

// One key as the boxes, menus and the viewer handle it.
#pragma once

#include "hostapi/plugin_api.h"
#include "platform/console_input.h"

namespace kestrova::host::tui {

struct Keystroke {
    int Key = 0;           // virtual-key code (letters and digits: their upper-case ASCII)
    unsigned Control = 0;  // PKF_CONTROL, PKF_ALT, PKF_SHIFT
    char32_t Char = 0;     // the character typed (a code point), 0 for none
    bool Click = false;    // a left mouse click (Key 0) on the cell ClickX, ClickY
    int ClickX = 0;
    int ClickY = 0;

    bool Is(int key, unsigned control = 0) const { return Key == key && Control == control; }
    // A character to insert into a text: typed without Ctrl or Alt, not a control character.
    bool Printable() const {
        return Char >= 0x20 && Char != 0x7F && !(Control & (PKF_CONTROL | PKF_ALT));
    }
};

// The keystroke of a console input event (a key-down).
Keystroke KeystrokeOf(const platform::InputEvent& event);

}  // namespace kestrova::host::tui

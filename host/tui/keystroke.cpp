#include "host/tui/keystroke.h"

namespace kestrova::host::tui {
namespace {

constexpr uint32_t kAltPressed = LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED;
constexpr uint32_t kCtrlPressed = LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED;

}  // namespace

Keystroke KeystrokeOf(const platform::InputEvent& event) {
    Keystroke key;
    key.Key = event.VirtualKeyCode;
    key.Control = ((event.ControlKeyState & kCtrlPressed) ? PKF_CONTROL : 0) |
                  ((event.ControlKeyState & kAltPressed) ? PKF_ALT : 0) |
                  ((event.ControlKeyState & SHIFT_PRESSED) ? PKF_SHIFT : 0);
    key.Char =
        event.UnicodeChar != 0 ? event.UnicodeChar : static_cast<unsigned char>(event.AsciiChar);
    return key;
}

}  // namespace kestrova::host::tui

#include "host/tui/keystroke.h"

namespace kestrova::host::tui {
namespace {

// Control key states of console input records.
constexpr uint32_t kAltPressed = 0x01 | 0x02;
constexpr uint32_t kCtrlPressed = 0x04 | 0x08;
constexpr uint32_t kShiftPressed = 0x10;

}  // namespace

Keystroke KeystrokeOf(const platform::InputEvent& event) {
    Keystroke key;
    key.Key = event.VirtualKeyCode;
    key.Control = ((event.ControlKeyState & kCtrlPressed) ? PKF_CONTROL : 0) |
                  ((event.ControlKeyState & kAltPressed) ? PKF_ALT : 0) |
                  ((event.ControlKeyState & kShiftPressed) ? PKF_SHIFT : 0);
    key.Char = static_cast<unsigned char>(event.AsciiChar);
    return key;
}

}  // namespace kestrova::host::tui

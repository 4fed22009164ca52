// Terminal input as console input events (platform/console_input.h): virtual-key codes and
// control key states of hostapi/plugin_api.h (VK_*, *_PRESSED, MOUSE_EVENT ...).
//
// While a Terminal runs, its standard input is the process's console input source: whatever
// the terminal has sent is decoded into the platform queue whenever anyone peeks at it, so the
// module's Esc check during a network wait sees a key at once. The UI's key loops call
// NextInputEvent, which blocks until an event (or a resize) comes.
//
// Decoded: printable text (UTF-8, delivered as OEM characters with the letter's virtual key),
// Enter, Tab, Backspace, Esc, Ctrl+letter; Esc followed by a key is Alt with that key; the
// xterm/tmux sequences of F1-F12, arrows, Home/End, PgUp/PgDn, Ins/Del and the gray keypad
// +/-/* with their Shift/Alt/Ctrl modifiers (CSI 1;m X, CSI n;m ~, SS3 X, modifyOtherKeys
// CSI 27;m;k ~, CSI k;m u); SGR mouse reports (CSI < b;x;y M/m) as mouse events.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console_input.h"

namespace kestrova::host::tui {

class Terminal;

// Turns terminal bytes into events; holds an incomplete sequence until more bytes come.
class KeyDecoder {
  public:
    // Decodes what it can of the held bytes and bytes.
    std::vector<platform::InputEvent> Feed(std::string_view bytes);
    // True when held bytes could still become a longer sequence (a lone Esc, half a sequence).
    bool Pending() const { return !held_.empty(); }
    // True when the held bytes are a sequence begun (Esc and '[' or 'O', and more): its end is
    // worth a longer wait than a lone Esc.
    bool InSequence() const {
        return held_.size() > 2 && held_[0] == 27 && (held_[1] == '[' || held_[1] == 'O');
    }
    // No more bytes came in time: the held bytes are keys as they stand (a lone Esc is Esc,
    // Esc with '[' or 'O' is Alt with it); an unfinished sequence is dropped, never typed.
    std::vector<platform::InputEvent> Finish();

  private:
    std::string held_;
};

// A key event for a virtual key with PKF_*-style modifiers given as *_PRESSED control states.
platform::InputEvent KeyEvent(int virtualKey, uint32_t controlState, char oemChar = 0);

// Makes the terminal's standard input the console input source (Terminal does this).
void AttachKeyInput(Terminal& terminal);
void DetachKeyInput();

// While the terminal is suspended (a shell command's screen): reads keys without echo until
// Enter, whole sequences and all (End is no "^[[4~"); keys after Enter stay queued, those before
// it are dropped. Returns at once at the end of input.
void WaitForEnter();

// Takes the next event: from the queue, else waits for the terminal up to timeoutMs (-1 for
// ever). A resize of the terminal comes as a WINDOW_BUFFER_SIZE_EVENT after Terminal has
// taken it (the screen beneath already redrawn). nullopt when the time ran out.
std::optional<platform::InputEvent> NextInputEvent(int timeoutMs = -1);

}  // namespace kestrova::host::tui

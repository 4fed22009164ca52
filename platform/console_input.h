// The process-wide queue of console input events. The host feeds it from the terminal; the
// module peeks and consumes (Esc polling, input flushing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kestrova::platform {

struct InputEvent {
    uint16_t EventType = 1;  // 1: a key event, 2: a mouse event, 4: the window's size changed
    bool KeyDown = true;
    uint16_t VirtualKeyCode = 0;
    uint32_t ControlKeyState = 0;
    char AsciiChar = 0;  // the key's character when it is one OEM byte ('?' beyond), 0 for none
    char32_t UnicodeChar = 0;  // the key's character as a code point, 0 for none
    // A mouse event: the cell (from 0), the buttons held, the kind (0 a press, double click,
    // wheel: the high word of ButtonState is then positive for up, negative for down).
    int16_t MouseX = 0;
    int16_t MouseY = 0;
    uint32_t ButtonState = 0;
    uint32_t EventFlags = 0;
};

// The host registers what drains its terminal into the queue without blocking, and the
// descriptor a wait can poll for console input (-1 when there is none).
void SetConsoleInputSource(int fd, std::function<void()> drainReady);
int ConsoleInputFd();

void PushInput(const InputEvent& event);
// Takes whatever the terminal has ready, then returns the pending events without removing them.
std::vector<InputEvent> PeekInput();
// Removes the first count pending events.
void ConsumeInput(size_t count);
// Drops every pending event (also what the terminal has ready), or sets them aside while
// KeepFlushedInput is on.
void FlushInputQueue();

// The full-screen host keeps what the module flushes before its boxes: keys typed while it
// worked were meant for the panel or the command line, not for the box. RestoreFlushedInput
// puts them back in front of the queue once the module's call is over. At most
// kMostKeptEvents are kept (the oldest go first).
constexpr size_t kMostKeptEvents = 4096;
void KeepFlushedInput(bool keep);
void RestoreFlushedInput();

}  // namespace kestrova::platform

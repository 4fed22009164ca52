// Keyboard polling and the console title.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrova {

// Drops every pending console input event, so keys typed during a long operation do not act on
// the next window. Called at the start of every menu, dialog and message box.
void FlushInput();

// Non-blocking: true when a key-down of virtualKey is pending. The events up to and including
// that key-down are consumed (key-ups and other keys before it too); later events stay. Without
// a match nothing is consumed.
bool CheckForKey(uint16_t virtualKey);

// Sets the console title from OEM text made visible (common/visible_text.h): a title may hold a
// server's text (a reply, a subject). The platform also keeps every control character from
// ending the title sequence early.
void SetTitle(std::string_view text);

}  // namespace kestrova

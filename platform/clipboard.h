// The clipboard: text kept in the process, and also handed to the terminal's own clipboard with
// the OSC 52 sequence (UTF-8, Base64) when the host has attached a terminal.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

// Replaces the clipboard's text (OEM). False when a terminal is attached but could not be
// written; the in-process text is set either way.
bool SetClipboardText(std::string_view oemText);
std::string ClipboardText();  // OEM

}  // namespace kestrova::platform

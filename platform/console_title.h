// The console window's title (the OSC 0 sequence) and the bell, sent to the terminal that the
// host has attached (platform/terminal_output.h); without a terminal they only do their
// in-process part.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

// Sets the title from OEM text; control characters (which could end the sequence early and
// start another) show as '?'.
void SetConsoleTitle(std::string_view oemText);
std::string ConsoleTitle();  // the last title set (OEM)

void Beep();

}  // namespace kestrova::platform

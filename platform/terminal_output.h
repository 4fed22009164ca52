// The terminal the host has attached, where control sequences (title, bell, clipboard) go.
#pragma once

#include <string_view>

namespace kestrova::platform {

// The host registers the descriptor of its terminal; -1 (the start) means there is none.
void SetTerminalOutput(int fd);
int TerminalOutputFd();

// Writes all of bytes to the terminal, waiting out short writes and a full non-blocking
// descriptor (at most about a second). False when there is no terminal or writing failed.
bool WriteToTerminal(std::string_view bytes);

}  // namespace kestrova::platform

// The full-screen session: the terminal, the boxes, the host and the main screen together.
#pragma once

#include <string>

namespace kestrova::host {

// Runs the two-panel UI until the user quits; target (may be empty) is a command line for the
// module ("news://host/group") or an account file to open at once. Throws HostError when
// there is no terminal or the module cannot be loaded; returns the exit code.
int RunFullScreen(const std::string& target);

}  // namespace kestrova::host

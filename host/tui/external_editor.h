// The editor the user has chosen: $VISUAL, else $EDITOR, else the system's `editor`, else vi.
#pragma once

#include <string>

namespace kestrova::host::tui {

// The command for the environment's values (null or empty: not set); editorInstalled tells
// whether a program `editor` is on the PATH.
std::string EditorCommand(const char* visual, const char* editor, bool editorInstalled);
// The command of this process's environment.
std::string EditorCommand();

// Runs command with the file as its last argument through /bin/sh (the command may carry
// options, e.g. "emacs -nw") and waits for it. False when it could not be started or failed.
bool RunEditor(const std::string& command, const std::string& nativePath);

}  // namespace kestrova::host::tui

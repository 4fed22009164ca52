// The editor the user has chosen: $VISUAL, else $EDITOR, else the system's `editor`, else vi.
#pragma once

#include <string>

namespace kestrova::host::tui {

// The command for the environment's values (null or empty: not set); editorInstalled tells
// whether a program `editor` is on the PATH.
std::string EditorCommand(const char* visual, const char* editor, bool editorInstalled);
// The command of this process's environment.
std::string EditorCommand();

// The arguments that open the command's editor at line and column (1-based; a column of 1 or
// less: the line's start), for the editors known to take them (vi, vim, nano, emacs ...: the
// command's first word, followed through the PATH and symbolic links, so that `editor` counts
// as the program it stands for). Empty for a line of 0 or less and for any other program.
std::string CursorArguments(const std::string& command, int line, int column);

// Runs command with the cursor arguments and the file as its last argument through /bin/sh
// (the command may carry options, e.g. "emacs -nw") and waits for it. False when it could not
// be started or failed.
bool RunEditor(const std::string& command, const std::string& nativePath, int line = 0,
               int column = 0);

}  // namespace kestrova::host::tui

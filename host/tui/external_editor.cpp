#include "host/tui/external_editor.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace kestrova::host::tui {
namespace {

// The program's path on the PATH; empty when it is not there.
std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + program;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

// The name of the program a command runs: its first word followed through the PATH and
// symbolic links, without folder and without a suffix after '.' or '-' ("vim.basic" -> "vim",
// "emacs-nox" -> "emacs").
std::string ProgramName(const std::string& command) {
    std::string program;
    std::istringstream(command) >> program;
    if (program.find('/') == std::string::npos) {
        const std::string found = FindOnPath(program);
        if (!found.empty()) program = found;
    }
    char resolved[PATH_MAX];
    if (realpath(program.c_str(), resolved)) program = resolved;
    program.erase(0, program.find_last_of('/') + 1);
    return program.substr(0, program.find_first_of(".-"));
}

enum class CursorForm { LineOnly, Vim, Comma, Colon };

struct KnownEditor {
    const char* Name;
    CursorForm Form;
};

constexpr std::array<KnownEditor, 11> kKnownEditors = {{
    {"vi", CursorForm::LineOnly},
    {"nvi", CursorForm::LineOnly},
    {"mcedit", CursorForm::LineOnly},
    {"joe", CursorForm::LineOnly},
    {"mg", CursorForm::LineOnly},
    {"vim", CursorForm::Vim},
    {"nvim", CursorForm::Vim},
    {"nano", CursorForm::Comma},
    {"emacs", CursorForm::Colon},
    {"emacsclient", CursorForm::Colon},
    {"micro", CursorForm::Colon},
}};

}  // namespace

std::string EditorCommand(const char* visual, const char* editor, bool editorInstalled) {
    if (visual && *visual) return visual;
    if (editor && *editor) return editor;
    return editorInstalled ? "editor" : "vi";
}

std::string EditorCommand() {
    return EditorCommand(std::getenv("VISUAL"), std::getenv("EDITOR"),
                         !FindOnPath("editor").empty());
}

std::string CursorArguments(const std::string& command, int line, int column) {
    if (line <= 0) return "";
    const std::string name = ProgramName(command);
    for (const KnownEditor& known : kKnownEditors) {
        if (name != known.Name) continue;
        const std::string plain = "+" + std::to_string(line);
        if (column <= 1) return plain;
        const std::string at = std::to_string(column);
        switch (known.Form) {
            case CursorForm::LineOnly:
                return plain;
            case CursorForm::Vim:
                return plain + " '+normal! " + at + "|'";
            case CursorForm::Comma:
                return plain + "," + at;
            case CursorForm::Colon:
                return plain + ":" + at;
        }
    }
    return "";
}

bool RunEditor(const std::string& command, const std::string& nativePath, int line, int column) {
    const std::string cursor = CursorArguments(command, line, column);
    const std::string script = command + (cursor.empty() ? "" : " " + cursor) + " \"$1\"";
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", script.c_str(), "sh", nativePath.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace kestrova::host::tui

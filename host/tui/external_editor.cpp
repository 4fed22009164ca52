#include "host/tui/external_editor.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace kestrova::host::tui {
namespace {

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

}  // namespace

std::string EditorCommand(const char* visual, const char* editor, bool editorInstalled) {
    if (visual && *visual) return visual;
    if (editor && *editor) return editor;
    return editorInstalled ? "editor" : "vi";
}

std::string EditorCommand() {
    return EditorCommand(std::getenv("VISUAL"), std::getenv("EDITOR"), OnPath("editor"));
}

bool RunEditor(const std::string& command, const std::string& nativePath) {
    const std::string script = command + " \"$1\"";
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

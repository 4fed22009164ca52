// F1 on the terminal: the help's lines in the built-in viewer.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "host/tui/terminal_front_end.h"
#include "platform/codepages.h"

namespace kestrova::host::tui {

void TerminalFrontEnd::ShowHelp(const std::string& topic, HelpPlace place) {
    if (showingHelp_) return;  // F1 in the help itself
    const HelpFile none;
    std::string text;
    for (const std::string& line : HelpLines(help_ ? *help_ : none, topic, place))
        text += line + "\n";
    text = platform::Utf8ToOem(text);
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/kestrova-help-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) return Tell("Help", "The help cannot be shown: no temporary file.");
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (written) {
        showingHelp_ = true;
        View(path, "Help", "", nullptr);
        showingHelp_ = false;
    }
    unlink(path.c_str());
}

}  // namespace kestrova::host::tui

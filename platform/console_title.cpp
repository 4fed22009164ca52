#include "platform/console_title.h"

#include "platform/codepages.h"
#include "platform/terminal_output.h"
#include "platform/utf8.h"

namespace kestrova::platform {

namespace {

std::string consoleTitle;

}  // namespace

void SetConsoleTitle(std::string_view oemText) {
    consoleTitle = oemText;
    if (TerminalOutputFd() < 0) return;
    const std::string utf8 = OemToUtf8(oemText);
    std::string printable;
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t c = NextUtf8CodePoint(utf8, pos);
        AppendUtf8(printable, IsControlCharacter(c) ? U'?' : c);
    }
    WriteToTerminal("\x1b]0;" + printable + "\x07");
}

std::string ConsoleTitle() {
    return consoleTitle;
}

void Beep() {
    WriteToTerminal("\x07");
}

}  // namespace kestrova::platform

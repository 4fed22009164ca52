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
    char32_t characters[256];
    CodePageTable(OemCodePage(), characters);
    std::string printable(oemText);
    for (char& byte : printable) {
        if (IsControlCharacter(characters[static_cast<uint8_t>(byte)])) byte = '?';
    }
    WriteToTerminal("\x1b]0;" + OemToUtf8(printable) + "\x07");
}

std::string ConsoleTitle() {
    return consoleTitle;
}

void Beep() {
    WriteToTerminal("\x07");
}

}  // namespace kestrova::platform

#include "platform/console_title.h"

#include "platform/codepages.h"
#include "platform/terminal_output.h"

namespace kestrova::platform {

namespace {

std::string consoleTitle;

// C0 and C1 control characters and DEL.
bool IsControlCharacter(char32_t character) {
    return character < 0x20 || (character >= 0x7F && character <= 0x9F);
}

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

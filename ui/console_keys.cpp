#include "ui/console_keys.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "hostapi/plugin_api.h"
#include "platform/codepages.h"
#include "platform/console_input.h"

namespace kestrova {

void FlushInput() {
    platform::FlushInputQueue();
}

bool CheckForKey(uint16_t virtualKey) {
    const std::vector<platform::InputEvent> pending = platform::PeekInput();
    for (size_t i = 0; i < pending.size(); ++i) {
        const platform::InputEvent& event = pending[i];
        if (event.EventType == KEY_EVENT && event.KeyDown && event.VirtualKeyCode == virtualKey) {
            platform::ConsumeInput(i + 1);
            return true;
        }
    }
    return false;
}

void SetTitle(std::string_view text) {
    if (!isatty(STDOUT_FILENO)) return;
    std::string printable;
    printable.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) printable.push_back(c);
    }
    // OSC 0: set the window title, terminated by BEL.
    const std::string sequence = "\x1b]0;" + platform::OemToUtf8(printable) + "\x07";
    std::fwrite(sequence.data(), 1, sequence.size(), stdout);
    std::fflush(stdout);
}

}  // namespace kestrova

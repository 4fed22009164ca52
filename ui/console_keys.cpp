#include "ui/console_keys.h"

#include "common/visible_text.h"
#include "hostapi/plugin_api.h"
#include "platform/console_input.h"
#include "platform/console_title.h"

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
    platform::SetConsoleTitle(VisibleText(text));
}

}  // namespace kestrova

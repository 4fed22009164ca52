// The settings import reader on any text: it either gives edits or names a line of the text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/settings_text_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        for (const kestrova::platform::SettingsEdit& edit :
             kestrova::platform::ReadSettingsText(text))
            if (edit.line < 1 || static_cast<size_t>(edit.line) > size + 1) abort();
    } catch (const kestrova::platform::SettingsFormatError& e) {
        if (e.Line < 1 || static_cast<size_t>(e.Line) > size + 1) abort();
    }
    return 0;
}

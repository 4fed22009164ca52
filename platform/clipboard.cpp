#include "platform/clipboard.h"

#include <algorithm>
#include <cstdint>

#include "platform/codepages.h"
#include "platform/terminal_output.h"

namespace kestrova::platform {

namespace {

std::string clipboardText;

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) {
            group = (group << 8) | (k < count ? static_cast<uint8_t>(bytes[i + k]) : 0u);
        }
        for (size_t k = 0; k < 4; ++k) {
            out += k <= count ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return out;
}

}  // namespace

bool SetClipboardText(std::string_view oemText) {
    clipboardText = oemText;
    if (TerminalOutputFd() < 0) return true;
    // "c" selects the terminal's clipboard; the payload can hold no control character.
    return WriteToTerminal("\x1b]52;c;" + Base64(OemToUtf8(oemText)) + "\x07");
}

std::string ClipboardText() {
    return clipboardText;
}

}  // namespace kestrova::platform

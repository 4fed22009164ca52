#include "host/tui/hot_key.h"

#include "host/case_tables.h"

namespace kestrova::host::tui {

MarkedText ParseMarkedText(std::string_view text, bool showAmpersand) {
    MarkedText marked;
    if (showAmpersand) {
        marked.Text = text;
        return marked;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            marked.Text += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '&') {
            marked.Text += '&';
            ++i;
        } else if (i + 1 < text.size() && marked.HotIndex < 0) {
            marked.HotIndex = static_cast<int>(marked.Text.size());
        }
    }
    return marked;
}

unsigned char UpperOem(unsigned char c) {
    return OemCaseTables().Upper[c];
}

unsigned char HotKeyOf(const Keystroke& key) {
    if (key.Control & PKF_CONTROL) return 0;
    if (key.Char > 0x20 && key.Char != 0x7F) return UpperOem(key.Char);
    const bool letterOrDigit =
        (key.Key >= '0' && key.Key <= '9') || (key.Key >= 'A' && key.Key <= 'Z');
    return letterOrDigit ? static_cast<unsigned char>(key.Key) : 0;
}

}  // namespace kestrova::host::tui

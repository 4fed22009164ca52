#include "host/tui/hot_key.h"

#include "host/case_tables.h"
#include "platform/utf8.h"

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

char32_t MarkedText::HotKey() const {
    if (HotIndex < 0 || static_cast<size_t>(HotIndex) >= Text.size()) return 0;
    size_t pos = static_cast<size_t>(HotIndex);
    return platform::NextUtf8CodePoint(Text, pos);
}

char32_t UpperCharacter(char32_t c) {
    std::string text;
    platform::AppendUtf8(text, c);
    const std::string upper = UpperOemText(text);
    size_t pos = 0;
    return upper.empty() ? c : platform::NextUtf8CodePoint(upper, pos);
}

char32_t HotKeyOf(const Keystroke& key) {
    if (key.Control & PKF_CONTROL) return 0;
    if (key.Char > 0x20 && key.Char != 0x7F) return UpperCharacter(key.Char);
    const bool letterOrDigit =
        (key.Key >= '0' && key.Key <= '9') || (key.Key >= 'A' && key.Key <= 'Z');
    return letterOrDigit ? static_cast<char32_t>(key.Key) : 0;
}

}  // namespace kestrova::host::tui

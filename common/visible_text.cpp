#include "common/visible_text.h"

#include <array>

#include "platform/codepages.h"

namespace kestrova {

namespace {

constexpr int kNotC1 = -1;

// For each byte of the current OEM code page: the offset of its character from U+0080 when that
// is a C1 control, kNotC1 otherwise. Built again only when the code page changes.
const std::array<int, 256>& C1Offsets() {
    thread_local int codePage = 0;
    thread_local std::array<int, 256> offsets{};
    const int current = platform::OemCodePage();
    if (current != codePage) {
        char32_t points[256];
        platform::CodePageTable(current, points);
        for (int byte = 0; byte < 256; ++byte) {
            const char32_t point = points[byte];
            offsets[byte] =
                point >= 0x80 && point <= 0x9F ? static_cast<int>(point - 0x80) : kNotC1;
        }
        codePage = current;
    }
    return offsets;
}

void AppendCaret(std::string& out, unsigned code) {
    out += '^';
    out += static_cast<char>(code ^ 0x40);  // 0x1B: '[', 0x7F: '?'
}

// True when byte is shown as it is: no control character of the OEM code page. The C1 table is
// looked up (into c1) at the first byte that may be one.
bool ShownAsIs(unsigned char byte, const std::array<int, 256>*& c1) {
    if (byte < 0x20 || byte == 0x7F) return false;
    if (byte < 0x80) return true;
    if (c1 == nullptr) c1 = &C1Offsets();
    return (*c1)[byte] == kNotC1;
}

}  // namespace

std::string VisibleText(std::string_view oemText) {
    std::string out;
    out.reserve(oemText.size());
    const std::array<int, 256>* c1 = nullptr;
    for (const char c : oemText) {
        const auto byte = static_cast<unsigned char>(c);
        if (ShownAsIs(byte, c1)) {
            out += c;
        } else if (byte == '\r' || byte == '\n' || byte == '\t') {
            out += ' ';
        } else if (byte < 0x80) {
            AppendCaret(out, byte);
        } else {
            out += "M-";
            AppendCaret(out, static_cast<unsigned>((*c1)[byte]));
        }
    }
    return out;
}

std::string_view VisibleView(std::string_view oemText, std::string& scratch) {
    const std::array<int, 256>* c1 = nullptr;
    for (const char c : oemText) {
        if (!ShownAsIs(static_cast<unsigned char>(c), c1)) return scratch = VisibleText(oemText);
    }
    return oemText;
}

}  // namespace kestrova

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

}  // namespace

std::string VisibleText(std::string_view oemText) {
    std::string out;
    out.reserve(oemText.size());
    const std::array<int, 256>* c1 = nullptr;  // looked up at the first byte that may be one
    for (const char c : oemText) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\r' || byte == '\n' || byte == '\t') {
            out += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendCaret(out, byte);
        } else if (byte >= 0x80) {
            if (c1 == nullptr) c1 = &C1Offsets();
            const int offset = (*c1)[byte];
            if (offset == kNotC1) {
                out += c;
            } else {
                out += "M-";
                AppendCaret(out, static_cast<unsigned>(offset));
            }
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace kestrova

#include "common/visible_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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

// False when the 8 bytes at text are all printable ASCII, so shown as they are; true when one of
// them may not be (a false true only costs a look at each byte).
bool MayHoldControl(const char* text) {
    constexpr uint64_t kOnes = 0x0101010101010101;
    constexpr uint64_t kHighBits = kOnes * 0x80;
    uint64_t word;
    std::memcpy(&word, text, sizeof word);
    const uint64_t notDel = word ^ (kOnes * 0x7F);  // a zero byte where word holds DEL
    const uint64_t below20 = (word - kOnes * 0x20) & ~word;
    const uint64_t del = (notDel - kOnes) & ~notDel;
    return ((below20 | del | word) & kHighBits) != 0;
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
    // Eight bytes at a time; each byte of a word that may hold a control is looked at.
    const std::array<int, 256>* c1 = nullptr;
    const size_t size = oemText.size();
    for (size_t at = 0; at < size;) {
        if (size - at >= 8 && !MayHoldControl(oemText.data() + at)) {
            at += 8;
            continue;
        }
        for (const size_t end = std::min(size, at + 8); at < end; ++at) {
            if (!ShownAsIs(static_cast<unsigned char>(oemText[at]), c1)) {
                return scratch = VisibleText(oemText);
            }
        }
    }
    return oemText;
}

}  // namespace kestrova

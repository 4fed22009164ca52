#include "common/visible_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/codepages.h"

namespace kestrova {

namespace {

constexpr int kNotC1 = -1;
constexpr int kUtf8C1Lead = -2;  // UTF-8: a C1 control when the next byte is 0x80 ... 0x9F

// For each byte of the current OEM code page: the offset of its character from U+0080 when that
// is a C1 control, kNotC1 otherwise (kUtf8C1Lead for the lead byte of UTF-8's C1 controls).
// Built again only when the code page changes.
const std::array<int, 256>& C1Offsets() {
    thread_local int codePage = 0;
    thread_local std::array<int, 256> offsets{};
    const int current = platform::OemCodePage();
    if (current != codePage) {
        offsets.fill(kNotC1);
        char32_t points[256];
        if (current == platform::kUtf8CodePage) {
            offsets[0xC2] = kUtf8C1Lead;
        } else if (platform::CodePageTable(current, points)) {
            for (int byte = 0; byte < 256; ++byte) {
                const char32_t point = points[byte];
                if (point >= 0x80 && point <= 0x9F) offsets[byte] = static_cast<int>(point - 0x80);
            }
        }
        codePage = current;
    }
    return offsets;
}

// The C1 control at text[at] as its offset from U+0080 and its length in bytes; kNotC1 when the
// character there is none.
int C1At(std::string_view text, size_t at, const std::array<int, 256>& c1, size_t& length) {
    length = 1;
    const int offset = c1[static_cast<unsigned char>(text[at])];
    if (offset != kUtf8C1Lead) return offset;
    if (at + 1 >= text.size()) return kNotC1;
    const auto next = static_cast<unsigned char>(text[at + 1]);
    if (next < 0x80 || next > 0x9F) return kNotC1;
    length = 2;
    return next - 0x80;
}

void AppendCaret(std::string& out, unsigned code) {
    out += '^';
    out += static_cast<char>(code ^ 0x40);  // 0x1B: '[', 0x7F: '?'
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
    const std::array<int, 256>& c1 = C1Offsets();
    for (size_t at = 0; at < oemText.size();) {
        const auto byte = static_cast<unsigned char>(oemText[at]);
        if (byte == '\r' || byte == '\n' || byte == '\t') {
            out += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendCaret(out, byte);
        } else if (size_t length; byte >= 0x80 && C1At(oemText, at, c1, length) != kNotC1) {
            out += "M-";
            AppendCaret(out, static_cast<unsigned>(C1At(oemText, at, c1, length)));
            at += length;
            continue;
        } else {
            out += static_cast<char>(byte);
        }
        ++at;
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
            const auto byte = static_cast<unsigned char>(oemText[at]);
            if (byte < 0x20 || byte == 0x7F) return scratch = VisibleText(oemText);
            if (byte < 0x80) continue;
            if (c1 == nullptr) c1 = &C1Offsets();
            if (size_t length; C1At(oemText, at, *c1, length) != kNotC1)
                return scratch = VisibleText(oemText);
        }
    }
    return oemText;
}

}  // namespace kestrova

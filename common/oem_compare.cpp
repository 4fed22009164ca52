// Comparison of OEM texts by a fixed collation of their ANSI conversion: letters compare by their
// case-folded Unicode code point (Cyrillic yo sorts right after ye); when case matters, texts that
// are equal apart from case order a lower-case letter before the upper-case one.
#include <algorithm>
#include <string>
#include <string_view>

#include "common/text_utils.h"
#include "platform/codepages.h"

namespace kestrova {

namespace {

constexpr char32_t kCyrillicYe = 0x435;
constexpr char32_t kCyrillicYo = 0x451;

// Unicode code points of the bytes of the ANSI code page; a page the platform does not know is
// taken as Latin-1.
const char32_t* AnsiCodePoints() {
    static int cachedPage = -1;
    static char32_t table[256];
    int page = platform::AnsiCodePage();
    if (page != cachedPage) {
        if (!platform::CodePageTable(page, table))
            for (int i = 0; i < 256; ++i) table[i] = static_cast<char32_t>(i);
        cachedPage = page;
    }
    return table;
}

// The lower-case letter of an upper-case one in the Latin, Greek and Cyrillic ranges that the
// single-byte code pages reach; any other character is returned as it is.
char32_t FoldCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c == 0x490) return 0x491;
    return c;
}

uint32_t PrimaryWeight(char32_t c) {
    char32_t folded = FoldCase(c);
    if (folded == kCyrillicYo) return kCyrillicYe * 2 + 1;
    return static_cast<uint32_t>(folded) * 2;
}

int Sign(int64_t v) {
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

}  // namespace

int CompareOem(std::string_view a, std::string_view b, unsigned flags, int length) {
    if (length >= 0) {
        a = a.substr(0, std::min(a.size(), static_cast<size_t>(length)));
        b = b.substr(0, std::min(b.size(), static_cast<size_t>(length)));
    }
    std::string ansiA = platform::OemToAnsi(a);
    std::string ansiB = platform::OemToAnsi(b);
    const char32_t* points = AnsiCodePoints();
    auto point = [points](char c) { return points[static_cast<unsigned char>(c)]; };

    size_t common = std::min(ansiA.size(), ansiB.size());
    for (size_t i = 0; i < common; ++i) {
        int64_t diff = int64_t{PrimaryWeight(point(ansiA[i]))} - PrimaryWeight(point(ansiB[i]));
        if (diff != 0) return Sign(diff);
    }
    if (ansiA.size() != ansiB.size()) return ansiA.size() < ansiB.size() ? -1 : 1;
    if (flags & 1) return 0;
    for (size_t i = 0; i < common; ++i) {
        char32_t ca = point(ansiA[i]);
        char32_t cb = point(ansiB[i]);
        if (ca != cb) return ca == FoldCase(ca) ? -1 : 1;  // the lower-case one first
    }
    return 0;
}

std::string OemToAnsiText(std::string_view text) {
    return platform::OemToAnsi(text);
}

}  // namespace kestrova

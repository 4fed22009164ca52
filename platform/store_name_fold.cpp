#include "platform/store_name_fold.h"

#include <array>

#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova::platform {
namespace {

// Simple upper case of the letters a single-byte code page can hold: Latin-1, Greek, Cyrillic.
char32_t UpperLetter(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c >= 0x490 && c <= 0x4BF && (c & 1) != 0) return c - 1;
    return c;
}

using FoldTable = std::array<unsigned char, 256>;

FoldTable BuildFoldTable() {
    FoldTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 0x20 : i);
    char32_t page[256];
    if (!CodePageTable(OemCodePage(), page)) return table;
    for (int i = 128; i < 256; ++i) {
        char32_t upper = UpperLetter(page[i]);
        if (upper == page[i]) continue;
        for (int j = 0; j < 256; ++j) {
            if (page[j] == upper) {
                table[i] = static_cast<unsigned char>(j);
                break;
            }
        }
    }
    return table;
}

// Folds UTF-8 text character by character; bytes of ill-formed sequences stay as they are.
std::string FoldUtf8Name(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (size_t pos = 0; pos < name.size();) {
        const size_t start = pos;
        const char32_t c = NextUtf8CodePoint(name, pos);
        if (c == kReplacementCharacter)
            folded.append(name.substr(start, pos - start));
        else
            AppendUtf8(folded, UpperLetter(c));
    }
    return folded;
}

}  // namespace

std::string FoldStoreName(std::string_view name) {
    if (OemCodePage() == kUtf8CodePage) return FoldUtf8Name(name);
    static const FoldTable table = BuildFoldTable();
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return folded;
}

}  // namespace kestrova::platform

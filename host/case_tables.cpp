#include "host/case_tables.h"

#include <string>

#include "host/host_error.h"
#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova::host {
namespace {

// Simple case pairs of the scripts the code pages carry: ASCII, Latin-1 and Cyrillic.
char32_t UpperOf(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

char32_t LowerOf(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

int ByteOf(const char32_t (&table)[256], char32_t c) {
    for (int b = 0; b < 256; ++b)
        if (table[b] == c) return b;
    return -1;
}

}  // namespace

CaseTables MakeCaseTables(int codePage) {
    char32_t characters[256];
    if (codePage == platform::kUtf8CodePage) {
        // A byte of UTF-8 is a character only below 0x80: ASCII letters change case.
        for (int b = 0; b < 256; ++b) characters[b] = b < 0x80 ? static_cast<char32_t>(b) : 0xFFFD;
    } else if (!platform::CodePageTable(codePage, characters))
        throw HostError("unsupported code page " + std::to_string(codePage));
    CaseTables tables{};
    for (int b = 0; b < 256; ++b) {
        const int upper = ByteOf(characters, UpperOf(characters[b]));
        const int lower = ByteOf(characters, LowerOf(characters[b]));
        tables.Upper[b] = static_cast<unsigned char>(upper >= 0 ? upper : b);
        tables.Lower[b] = static_cast<unsigned char>(lower >= 0 ? lower : b);
    }
    return tables;
}

std::string UpperOemText(std::string_view oemText) {
    std::string upper;
    upper.reserve(oemText.size());
    if (platform::OemCodePage() != platform::kUtf8CodePage) {
        for (char c : oemText)
            upper += static_cast<char>(OemCaseTables().Upper[static_cast<unsigned char>(c)]);
        return upper;
    }
    for (size_t pos = 0; pos < oemText.size();) {
        const size_t start = pos;
        const char32_t c = platform::NextUtf8CodePoint(oemText, pos);
        if (c == platform::kReplacementCharacter)
            upper.append(oemText.substr(start, pos - start));
        else
            platform::AppendUtf8(upper, UpperOf(c));
    }
    return upper;
}

const CaseTables& OemCaseTables() {
    static const CaseTables tables = MakeCaseTables(platform::OemCodePage());
    return tables;
}

}  // namespace kestrova::host

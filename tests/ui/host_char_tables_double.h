// The host's three character tables for tests, built from the platform's code page tables:
// 0 "KOI-8", 1 "CP-1251   (Windows russian)", 2 "ISO 8859-5 (Unix russian)".
#pragma once

#include <cstring>

#include "hostapi/plugin_api.h"
#include "platform/codepages.h"

namespace kestrova::testing {

inline int HostCharTableDouble(int n, char* buffer, int bufferSize) {
    static const struct {
        int codePage;
        const char* name;
    } kTables[] = {{20866, "KOI-8"},
                   {1251, "CP-1251   (Windows russian)"},
                   {28595, "ISO 8859-5 (Unix russian)"}};
    if (n < 0 || n >= 3 || bufferSize < static_cast<int>(sizeof(CharTableSet))) return -1;
    char32_t set[256], oem[256];
    if (!platform::CodePageTable(kTables[n].codePage, set) ||
        !platform::CodePageTable(platform::OemCodePage(), oem))
        return -1;
    CharTableSet table{};
    for (int b = 0; b < 256; ++b) {
        table.DecodeTable[b] = table.EncodeTable[b] = '?';
        for (int o = 0; o < 256; ++o) {
            if (oem[o] == set[b]) table.DecodeTable[b] = static_cast<unsigned char>(o);
            if (set[o] == oem[b]) table.EncodeTable[b] = static_cast<unsigned char>(o);
        }
    }
    std::strcpy(table.TableName, kTables[n].name);
    std::memcpy(buffer, &table, sizeof table);
    return 0;
}

}  // namespace kestrova::testing

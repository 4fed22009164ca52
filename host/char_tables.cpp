#include "host/char_tables.h"

#include <cstring>
#include <iterator>

#include "host/case_tables.h"
#include "platform/codepages.h"

namespace kestrova::host {
namespace {

struct TableDefinition {
    const char* Name;
    int CodePage;
};

constexpr TableDefinition kTables[] = {
    {"KOI-8", 20866},
    {"CP-1251   (Windows russian)", 1251},
    {"ISO 8859-5 (Unix russian)", 28595},
};

// For every byte of from, the byte of to with the same character, or '?'.
void BuildMap(const char32_t (&from)[256], const char32_t (&to)[256], unsigned char (&map)[256]) {
    for (int b = 0; b < 256; ++b) {
        map[b] = '?';
        if (b < 0x80) {
            map[b] = static_cast<unsigned char>(b);
            continue;
        }
        if (from[b] == 0xFFFD) continue;
        for (int t = 0x80; t < 256; ++t)
            if (to[t] == from[b]) {
                map[b] = static_cast<unsigned char>(t);
                break;
            }
    }
}

}  // namespace

int CharTableCount() {
    return static_cast<int>(std::size(kTables));
}

int CharTableCodePage(int n) {
    return n >= 0 && n < CharTableCount() ? kTables[n].CodePage : 0;
}

bool FillCharTableSet(int n, CharTableSet& table) {
    if (n < 0 || n >= CharTableCount()) return false;
    const TableDefinition& definition = kTables[n];
    char32_t set[256];
    char32_t oem[256];
    if (!platform::CodePageTable(definition.CodePage, set)) return false;
    if (platform::OemCodePage() == platform::kUtf8CodePage)
        for (int b = 0; b < 256; ++b) oem[b] = b < 0x80 ? static_cast<char32_t>(b) : 0xFFFD;
    else if (!platform::CodePageTable(platform::OemCodePage(), oem))
        return false;
    BuildMap(set, oem, table.DecodeTable);
    BuildMap(oem, set, table.EncodeTable);
    const CaseTables cases = MakeCaseTables(definition.CodePage);
    std::memcpy(table.UpperTable, cases.Upper, sizeof table.UpperTable);
    std::memcpy(table.LowerTable, cases.Lower, sizeof table.LowerTable);
    std::memset(table.TableName, 0, sizeof table.TableName);
    std::strncpy(table.TableName, definition.Name, sizeof table.TableName - 1);
    return true;
}

}  // namespace kestrova::host

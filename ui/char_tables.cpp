#include "ui/char_tables.h"

#include <vector>

#include "common/base64.h"
#include "common/quoted_printable.h"
#include "common/string_list.h"
#include "common/text_utils.h"
#include "hostapi/plugin_api.h"
#include "platform/codepages.h"
#include "platform/settings_store.h"
#include "store/reg_ini_file.h"
#include "ui/host_services.h"
#include "ui/host_version.h"
#include "ui/menus.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/module_state.h"

namespace kestrova {

const TCharsetSlots kBuiltInCharsetSlots = {{
    {"koi8-r", "KOI-8"},
    {"windows-1251", "CP-1251   (Windows russian)"},
    {"iso-8859-5", "ISO 8859-5 (Unix russian)"},
}};
TCharsetSlots CharsetSlots = kBuiltInCharsetSlots;

namespace {

constexpr const char* kSection = "CHARTABLES";
constexpr int kMaxHostTables = 256;  // a bound on asking the host, should it never say "no more"

// The names of codes -4 .. -1, in that order.
constexpr const char* kFixedNames[] = {".default", ".dos (OEM)", ".windows (ANSI)", ".autodetect"};

bool HostHasCharTables() {
    return HostVersion() >= kCharTableHostVersion;
}

// Host table n; false when the host has no table service or no table n.
bool HostTable(int n, CharTableSet& table) {
    if (!HostHasCharTables() || StartupInfo.CharTable == nullptr || n < 0) return false;
    table = {};
    if (StartupInfo.CharTable(n, reinterpret_cast<char*>(&table), sizeof table) < 0) return false;
    table.TableName[sizeof table.TableName - 1] = '\0';
    return true;
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameAsciiText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// Menu entries of ChooseTableCode: the three fixed names, then a separator, ".autodetect" and
// the host's tables.
constexpr int kFirstHostEntry = 5;
int EntryOfCode(int code) {
    return code >= 0 ? code + kFirstHostEntry : code == kAutodetectTable ? 4 : code + 4;
}
int CodeOfEntry(int entry) {
    return entry >= kFirstHostEntry ? entry - kFirstHostEntry : entry == 4 ? -1 : entry - 4;
}

void MapThrough(const unsigned char* table, char* buffer, int length) {
    for (int i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(table[static_cast<unsigned char>(buffer[i])]);
}

void ConvertWith(std::string (*convert)(std::string_view), char* buffer, int length) {
    std::string converted = convert(std::string_view(buffer, static_cast<size_t>(length)));
    // Single-byte code pages: one byte in, one byte out.
    if (converted.size() == static_cast<size_t>(length)) converted.copy(buffer, converted.size());
}

}  // namespace

std::string TableCodeName(int code) {
    if (code >= kAutodetectTable && !HostHasCharTables()) return kDefaultTableName;
    if (code >= kDefaultTable && code <= kAutodetectTable) return kFixedNames[code - kDefaultTable];
    CharTableSet table;
    if (code >= 0 && HostTable(code, table)) return table.TableName;
    return kDefaultTableName;
}

int TableCodeOf(const std::string& name) {
    for (int code = kDefaultTable; code <= kAnsiTable; ++code)
        if (SameAsciiText(name, kFixedNames[code - kDefaultTable])) return code;
    if (!HostHasCharTables()) return kDefaultTable;
    if (SameAsciiText(name, kFixedNames[3])) return kAutodetectTable;
    CharTableSet table;
    for (int n = 0; n < kMaxHostTables && HostTable(n, table); ++n)
        if (SameAsciiText(name, table.TableName)) return n;
    return kDefaultTable;
}

int ChooseTableCode(int code) {
    TStringList entries;
    for (int i = 0; i < 3; ++i) entries.Add(kFixedNames[i]);
    if (HostHasCharTables()) {
        entries.Add("-");
        entries.Add(kFixedNames[3]);
        CharTableSet table;
        for (int n = 0; n < kMaxHostTables && HostTable(n, table); ++n)
            entries.Add(table.TableName);
    }
    int chosen = RunListMenu(GetMsg(kMsgCharacterSet), entries, EntryOfCode(code));
    return chosen < 0 ? code : CodeOfEntry(chosen);
}

std::string SlotName(int index) {
    if (index >= 0 && index < kSlotCount && !CharsetSlots[index].CharsetNames.empty())
        return CharsetSlots[index].CharsetNames;
    return kDefaultTableName;
}

int SlotIndex(const std::string& name) {
    if (name.empty()) return kNoSlot;
    for (int i = 0; i < kSlotCount; ++i)
        if (CompareTextOem(CharsetSlots[i].CharsetNames, name) == 0) return i;
    return kNoSlot;
}

int SlotTableCode(int index) {
    if (index < 0 || index >= kSlotCount) return index;
    return TableCodeOf(CharsetSlots[index].CharsetTables);
}

int ChooseSlot(int index) {
    std::vector<const char*> texts = {kDefaultTableName, nullptr};
    std::vector<int> slotOfEntry = {kNoSlot, kNoSlot};
    int selected = 0;
    for (int i = 0; i < kSlotCount; ++i) {
        if (CharsetSlots[i].CharsetNames.empty()) continue;
        if (i == index) selected = static_cast<int>(texts.size());
        texts.push_back(CharsetSlots[i].CharsetNames.c_str());
        slotOfEntry.push_back(i);
    }
    int chosen = RunMenu(GetMsg(kMsgCharacterSet), texts, selected);
    if (chosen < 0 || chosen >= static_cast<int>(texts.size())) return index;
    return slotOfEntry[static_cast<size_t>(chosen)];
}

void LoadSlots() {
    TRegIniFile ini(FrameworkKey);
    if (!ini.KeyExists(kSection)) return;
    TStringList names;
    ini.ReadSection(kSection, names);
    for (int i = 0; i < kSlotCount; ++i) {
        TCharsetSlot& slot = CharsetSlots[i];
        if (i < names.Count()) {
            slot.CharsetNames = names[i];
            slot.CharsetTables = ini.ReadString(kSection, names[i], "");
        } else {
            slot = {};
        }
    }
}

void SaveSlots() {
    TRegIniFile ini(FrameworkKey);
    // Erasing and rewriting go together: a failed write leaves the old section in place.
    platform::StoreBatch batch;
    ini.EraseSection(kSection);
    for (const TCharsetSlot& slot : CharsetSlots)
        if (!slot.CharsetNames.empty())
            ini.WriteString(kSection, slot.CharsetNames, slot.CharsetTables);
    if (batch.Active() && !batch.Commit())
        RaiseRegistryError("Failed to set data for '" + std::string(kSection) + "'");
}

void DecodeBuffer(int code, char* buffer, int length) {
    if (length <= 0) return;
    CharTableSet table;
    if (code == kAnsiTable)
        ConvertWith(platform::AnsiToOem, buffer, length);
    else if (code >= 0 && HostTable(code, table))
        MapThrough(table.DecodeTable, buffer, length);
}

void EncodeBuffer(int code, char* buffer, int length) {
    if (length <= 0) return;
    CharTableSet table;
    if (code == kAnsiTable)
        ConvertWith(platform::OemToAnsi, buffer, length);
    else if (code >= 0 && HostTable(code, table))
        MapThrough(table.EncodeTable, buffer, length);
}

bool DecodeEncodedWord(std::string_view text, std::string& result) {
    if (!text.starts_with("=?")) return false;
    std::string charset = ExtractWord(2, text, '?');
    std::string encoding = ExtractWord(3, text, '?');
    std::string encoded = ExtractWord(4, text, '?');
    if (charset.empty() || encoded.empty() || encoding.size() != 1) return false;
    std::string decoded;
    switch (encoding[0]) {
        case 'B':
        case 'b':
            decoded = Base64Decode(encoded);
            break;
        case 'Q':
        case 'q':
            decoded = DecodeQEncodedText(encoded);
            break;
        default:
            return false;
    }
    int slot = SlotIndex(charset);
    if (slot != kNoSlot)
        DecodeBuffer(SlotTableCode(slot), decoded.data(), static_cast<int>(decoded.size()));
    result = std::move(decoded);
    return true;
}

}  // namespace kestrova

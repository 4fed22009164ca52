#include "ui/char_tables.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "common/errors.h"
#include "common/format_text.h"
#include "common/string_list.h"
#include "common/text_utils.h"
#include "hostapi/plugin_api.h"
#include "platform/charset_conversion.h"
#include "platform/codepages.h"
#include "platform/settings_store.h"
#include "platform/utf8.h"
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

bool HasEightBitBytes(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
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
    // The first entry is what an article without a slot is sent in: UTF-8.
    const std::string first =
        SendingCharset(kNoSlot).empty() ? kDefaultTableName : SendingCharset(kNoSlot);
    std::vector<const char*> texts = {first.c_str(), nullptr};
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

std::string TableCodeCharset(int code) {
    if (code == kAnsiTable) {
        const int ansi = platform::AnsiCodePage();
        return ansi == platform::OemCodePage() ? std::string() : platform::CodePageCharset(ansi);
    }
    CharTableSet table;
    if (code < 0 || !HostTable(code, table)) return {};
    for (const TCharsetSlot& slot : CharsetSlots)
        if (!slot.CharsetNames.empty() && SameAsciiText(slot.CharsetTables, table.TableName))
            return slot.CharsetNames;
    return {};
}

std::string DecodeText(int code, std::string_view text) {
    if (!HasEightBitBytes(text)) return std::string(text);
    if (platform::OemCodePage() != platform::kUtf8CodePage) {
        std::string out(text);
        CharTableSet table;
        if (code == kAnsiTable)
            ConvertWith(platform::AnsiToOem, out.data(), static_cast<int>(out.size()));
        else if (code >= 0 && HostTable(code, table))
            MapThrough(table.DecodeTable, out.data(), static_cast<int>(out.size()));
        return out;
    }
    return DecodeTextIn(TableCodeCharset(code), text);
}

std::string DecodeTextIn(const std::string& charset, std::string_view text) {
    if (platform::IsValidUtf8(text))
        return platform::OemCodePage() == platform::kUtf8CodePage ? std::string(text)
                                                                  : platform::Utf8ToOem(text);
    if (!charset.empty())
        if (std::optional<std::string> decoded = platform::ToUtf8(text, charset))
            return platform::Utf8ToOem(*decoded);
    return platform::Utf8ToOem(platform::ValidUtf8(text));
}

std::string SendingCharset(int slot) {
    if (slot >= 0 && slot < kSlotCount && !CharsetSlots[slot].CharsetNames.empty())
        return CharsetSlots[slot].CharsetNames;
    return platform::OemCodePage() == platform::kUtf8CodePage ? "utf-8" : "";
}

void RaiseCannotEncode(char32_t missing, const std::string& charset) {
    std::string character;
    platform::AppendUtf8(character, missing);
    char point[16];
    std::snprintf(point, sizeof point, "U+%04X", static_cast<unsigned>(missing));
    throw ECharsetError(
        FormatText(GetMsg(kMsgCannotEncode), {platform::Utf8ToOem(character), point, charset}));
}

std::string EncodeText(int slot, std::string_view oemText) {
    std::string out(oemText);
    if (!HasEightBitBytes(oemText) || slot < 0 || slot >= kSlotCount) return out;
    const int code = SlotTableCode(slot);
    if (platform::OemCodePage() != platform::kUtf8CodePage) {
        CharTableSet table;
        if (code == kAnsiTable)
            ConvertWith(platform::OemToAnsi, out.data(), static_cast<int>(out.size()));
        else if (code >= 0 && HostTable(code, table))
            MapThrough(table.EncodeTable, out.data(), static_cast<int>(out.size()));
        return out;
    }
    const std::string charset = SendingCharset(slot);
    platform::EncodedText encoded = platform::FromUtf8(oemText, charset);
    if (!encoded.KnownCharset) return out;
    if (encoded.Missing != 0) RaiseCannotEncode(encoded.Missing, charset);
    return std::move(encoded.Bytes);
}

}  // namespace kestrova

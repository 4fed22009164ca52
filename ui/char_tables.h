// Character sets of articles. Ten slots map MIME character-set names to the host's character
// tables by name; a table code names a conversion between such a set and the OEM code page:
// -4 ".default" and -3 ".dos (OEM)" convert nothing, -2 ".windows (ANSI)" is the ANSI code
// page, -1 ".autodetect" converts nothing, n >= 0 is the host's table n.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrova {

inline constexpr int kSlotCount = 10;
inline constexpr int kNoSlot = -4;
inline constexpr int kDefaultTable = -4;
inline constexpr int kOemTable = -3;
inline constexpr int kAnsiTable = -2;
inline constexpr int kAutodetectTable = -1;
inline constexpr const char* kDefaultTableName = ".default";

struct TCharsetSlot {
    std::string CharsetNames;   // MIME name, compared without case; empty: the slot is free
    std::string CharsetTables;  // name of the table that converts it
};

using TCharsetSlots = std::array<TCharsetSlot, kSlotCount>;
// koi8-r, windows-1251 and iso-8859-5 with the host's three tables; the rest free.
extern const TCharsetSlots kBuiltInCharsetSlots;
extern TCharsetSlots CharsetSlots;

// Table codes and their names. Without the host's character tables (host version below 332)
// only ".default", ".dos (OEM)" and ".windows (ANSI)" exist.
std::string TableCodeName(int code);
int TableCodeOf(const std::string& name);
// A menu of every table; Esc returns code unchanged.
int ChooseTableCode(int code);

// ".default" for -4, an index out of range or a free slot.
std::string SlotName(int index);
// The first slot holding name; -4 when none does or name is empty.
int SlotIndex(const std::string& name);
// The table code of a slot's table; any other index is returned as it is.
int SlotTableCode(int index);
// A menu of the filled slots; Esc returns index unchanged.
int ChooseSlot(int index);

// The slots stored in "CHARTABLES" under FrameworkKey: loading keeps the built-in slots when
// the section does not exist; saving replaces the whole section in one transaction.
void LoadSlots();
void SaveSlots();

// In-place conversion of length bytes from the code's set to OEM, and back.
void DecodeBuffer(int code, char* buffer, int length);
void EncodeBuffer(int code, char* buffer, int length);

// Decodes a header text that is one encoded word ("=?charset?B|Q?text?=") into OEM text. False,
// with result untouched, when the text does not start with such a word.
bool DecodeEncodedWord(std::string_view text, std::string& result);

}  // namespace kestrova

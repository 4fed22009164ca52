// Character sets of articles. Ten slots map MIME character-set names to the host's character
// tables by name; a table code names a conversion between such a set and the OEM code page:
// -4 ".default" and -3 ".dos (OEM)" convert nothing, -2 ".windows (ANSI)" is the ANSI code
// page, -1 ".autodetect" converts nothing, n >= 0 is the host's table n. With a UTF-8 OEM code
// page, table n converts through iconv by the MIME name of the slot that names the table.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/errors.h"

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
// A menu of the filled slots after the sending set of kNoSlot ("utf-8"); Esc returns index
// unchanged.
int ChooseSlot(int index);

// The slots stored in "CHARTABLES" under FrameworkKey: loading keeps the built-in slots when
// the section does not exist; saving replaces the whole section in one transaction.
void LoadSlots();
void SaveSlots();

// The MIME name of the set that code converts (the slot naming host table n, the ANSI code page
// for -2); empty when code converts nothing or no slot names the table.
std::string TableCodeCharset(int code);

// Text from outside (a header, a group name, a quoted body) as OEM text. With a UTF-8 OEM code
// page: well-formed UTF-8 (plain ASCII too) is kept, anything else is taken as code's set (the
// account's fallback) and converted, and what no set explains becomes U+FFFD. With a single-byte
// OEM code page: converted through code's table.
std::string DecodeText(int code, std::string_view text);
// The same with a set named by its MIME name (empty: none).
std::string DecodeTextIn(const std::string& charset, std::string_view text);

// A text that the sending character set cannot hold: nothing is sent.
class ECharsetError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "ECharsetError"; }
};

// The MIME name of the set an article is sent in from slot: the slot's name, or for kNoSlot
// "utf-8" (the OEM code page's own set; empty with a single-byte OEM code page: no label).
std::string SendingCharset(int slot);

// OEM text in slot's set (kNoSlot: as it is). Raises ECharsetError, naming the character and
// the set, when the set cannot hold a character of it (nothing is replaced).
std::string EncodeText(int slot, std::string_view oemText);
[[noreturn]] void RaiseCannotEncode(char32_t missing, const std::string& charset);

}  // namespace kestrova

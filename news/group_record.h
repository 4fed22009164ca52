// One group of the cached group list: its 141-byte record, the LIST/NEWGROUPS line it is read
// from, its sorted place in the list and the panel item that shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/oem_collation.h"
#include "news/article_ranges.h"
#include "news/list_block.h"
#include "news/panel_item_list.h"

namespace kestrova {

// Flags of a group record. The low two bits are its posting value.
inline constexpr uint32_t kPostingMask = 0x3;
inline constexpr uint32_t kPostingAllowed = 0;
inline constexpr uint32_t kPostingNotAllowed = 1;
inline constexpr uint32_t kPostingModerated = 2;
inline constexpr uint32_t kOwnGroup = 0x100;
inline constexpr uint32_t kRefreshGroup = 0x200;
inline constexpr uint32_t kNewGroup = 0x400;

struct TGroupRecord {
    static constexpr size_t kNameSize = 129;
    static constexpr size_t kSize = kNameSize + 3 * 4;  // 141 bytes, packed

    std::string Name;  // at most kNameSize - 1 bytes
    int32_t First = 0;
    int32_t Last = 0;
    uint32_t Flags = 0;

    static TGroupRecord Read(const char* bytes);
    // The flags of a record, read in place.
    static uint32_t FlagsOf(const char* bytes);
    // Takes the fields of bytes; a record loaded again and again keeps its name's buffer.
    void Load(const char* bytes);
    void Write(char* bytes) const;
};

// What a line of a LIST or NEWGROUPS reply gave.
enum class GroupLine {
    Group,    // record holds the group
    Empty,    // no name on the line
    TooLong,  // the name does not fit the record; the group cannot be entered if it is cut
};

// Reads "name last first posting": First and Last are decimal (0 when not a number); the
// posting word's first letter m gives moderated, n not allowed, anything else allowed; without
// it the group takes postingAllowed. The record gets kNewGroup.
GroupLine ParseGroupLine(std::string_view line, bool postingAllowed, TGroupRecord& record);

// The index of the record whose name equals name (case-insensitive, locale order), or where it
// belongs; found tells which. A loop of look-ups passes one collation to all of them.
size_t FindGroup(const TListBlock& list, std::string_view name, bool& found,
                 const TOemCollation& collation = TOemCollation());
// Inserts record at its sorted place; false when a group of that name is already there.
bool InsertGroup(TListBlock& list, const TGroupRecord& record);

// The panel item name of a group (PanelItemName): a leading space, which no group name holds,
// for a group named "." or "..".
std::string GroupItemName(std::string_view group);
// The group an item name stands for: GroupItemName undone.
std::string GroupOfItem(std::string_view item);

// Appends the panel item of group: a folder named by the group's item name (converted to OEM by the
// character table tableCode, SlotTableCode of the account's slot), its article count as size and
// links, stamp as its times, First and Last as the two custom columns. With read (the group's
// read marks), a third column counts the unread articles of First to Last, and an item with
// unread articles is flagged PPIF_UNREAD.
void AddGroupItem(TPanelItemList& items, const TGroupRecord& group, const SYSTEMTIME& stamp,
                  int tableCode, const TArticleRanges* read = nullptr);

}  // namespace kestrova

// The group record and list block byte for byte, LIST/NEWGROUPS lines, sorted insertion and the
// group's panel item.
#include "news/group_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/scoped_environment.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

using namespace std::literals;
using Texts = std::vector<std::string>;

std::string Text(const TGroupRecord& r) {
    return r.Name + " " + std::to_string(r.First) + " " + std::to_string(r.Last) + " " +
           std::to_string(r.Flags);
}

Texts Names(const TListBlock& list) {
    Texts names;
    for (uint32_t i = 0; i < list.Count(); ++i)
        names.push_back(TGroupRecord::Read(list.Record(i)).Name);
    return names;
}

TEST(GroupRecordTest, LayoutIsPackedLittleEndian) {
    const TGroupRecord record{"alt.test", 0x01020304, -2, kOwnGroup | kPostingModerated};
    std::vector<char> bytes(TGroupRecord::kSize, 'x');
    record.Write(bytes.data());
    EXPECT_EQ(
        std::string(bytes.begin(), bytes.end()),
        "alt.test" + std::string(121, '\0') + "\x04\x03\x02\x01\xFE\xFF\xFF\xFF\x02\x01\0\0"s);
    EXPECT_EQ(Text(TGroupRecord::Read(bytes.data())), Text(record));
    // A name without its terminator stays inside its field.
    std::fill(bytes.begin(), bytes.end(), 'a');
    EXPECT_EQ(TGroupRecord::Read(bytes.data()).Name, std::string(129, 'a'));
}

// The header holds the stamp and the count. Bytes assigned: their size, the count in the
// header, accepted (keeping count records, extra bytes dropped) or refused (empty).
TEST(ListBlockTest, HeaderAndAssignRefusingCountsPastTheBytes) {
    TListBlock block(TGroupRecord::kSize);
    block.SetStamp(SYSTEMTIME{1999, 12, 0, 5, 10, 2, 3, 0x1234});
    block.Resize(2);
    const std::vector<char>& raw = block.Bytes();
    ASSERT_EQ(raw.size(), 20u + 2 * 141u);
    EXPECT_EQ(std::string(raw.begin(), raw.begin() + 20),
              "\xCF\x07\x0C\0\0\0\x05\0\x0A\0\x02\0\x03\0\x34\x12\x02\0\0\0"s);
    EXPECT_EQ(block.Stamp().wMilliseconds, 0x1234);

    const std::tuple<size_t, uint32_t, bool> cases[] = {
        {19, 0, false},       {20, 0, true},           {20 + 141, 1, true},
        {20 + 141, 2, false}, {20 + 141 + 7, 1, true}, {20 + 141, 0x7F0000FF, false},
    };
    for (const auto& [size, count, accepted] : cases) {
        std::vector<char> bytes(size, 0);
        for (size_t i = 0; i < 4 && 16 + i < size; ++i)
            bytes[16 + i] = static_cast<char>(count >> (8 * i));
        TListBlock assigned(TGroupRecord::kSize);
        EXPECT_EQ(assigned.Assign(bytes), accepted) << size << " " << count;
        EXPECT_EQ(assigned.Bytes().size(), 20 + (accepted ? count : 0) * 141)
            << size << " " << count;
    }
}

// The line, whether the server allows posting, what it gives and the record (without kNewGroup).
TEST(GroupLineTest, NameNumbersAndPostingFlag) {
    const std::string longest(128, 'g');
    const std::tuple<std::string, bool, GroupLine, TGroupRecord> cases[] = {
        {"alt.test 0000000123 0000000001 y", true, GroupLine::Group, {"alt.test", 1, 123, 0}},
        {"alt.mod 10 5 m", true, GroupLine::Group, {"alt.mod", 5, 10, kPostingModerated}},
        {"alt.ro 10 5 N", true, GroupLine::Group, {"alt.ro", 5, 10, kPostingNotAllowed}},
        {"alt.x 10 5 =alt.y", true, GroupLine::Group, {"alt.x", 5, 10, kPostingAllowed}},
        {"alt.bare 10 5", true, GroupLine::Group, {"alt.bare", 5, 10, kPostingAllowed}},
        {"alt.bare 10 5", false, GroupLine::Group, {"alt.bare", 5, 10, kPostingNotAllowed}},
        {"alt.junk ten 99999999999 y", true, GroupLine::Group, {"alt.junk", 0, 0, 0}},
        {"  alt.spaced   7   3  y", true, GroupLine::Group, {"alt.spaced", 3, 7, 0}},
        {"alt.name", true, GroupLine::Group, {"alt.name", 0, 0, 0}},
        {"alt.nul\0junk 7 3 y"s, true, GroupLine::Group, {"alt.nul", 3, 7, 0}},
        {longest + " 1 1 y", true, GroupLine::Group, {longest, 1, 1, 0}},
        {longest + "g 1 1 y", true, GroupLine::TooLong, {}},  // refused, not cut
        {"", true, GroupLine::Empty, {}},
        {"    ", true, GroupLine::Empty, {}},
    };
    for (const auto& [line, serverAllowsPosting, result, expected] : cases) {
        TGroupRecord record;
        EXPECT_EQ(ParseGroupLine(line, serverAllowsPosting, record), result) << line;
        if (result != GroupLine::Group) continue;
        TGroupRecord newGroup = expected;
        newGroup.Flags |= kNewGroup;
        EXPECT_EQ(Text(record), Text(newGroup)) << line;
    }
}

TEST(GroupListOrderTest, InsertionKeepsCaseInsensitiveOrderWithoutTwins) {
    TListBlock list(TGroupRecord::kSize);
    const std::pair<const char*, bool> inserts[] = {
        {"comp.lang.c", true}, {"alt.test", true},  {"Comp.Lang.C", false}, {"b.group", true},
        {"zzz.last", true},    {"alt.test", false}, {"ALT.first", true},
    };
    for (const auto& [name, inserted] : inserts) {
        EXPECT_EQ(InsertGroup(list, TGroupRecord{name}), inserted) << name;
    }
    EXPECT_EQ(Names(list), (Texts{"ALT.first", "alt.test", "b.group", "comp.lang.c", "zzz.last"}));
    bool found = false;
    EXPECT_EQ(FindGroup(list, "B.GROUP", found), 2u);
    EXPECT_TRUE(found);
    EXPECT_EQ(FindGroup(list, "c", found), 3u);
    EXPECT_FALSE(found);
}

// CP866 names: ye, yo and zhe groups, found by a collation of those pages whatever the
// environment says by the time of the look-up.
TEST(GroupListOrderTest, LookupsFollowTheCollationTheyAreGiven) {
    const TOemCollation cyrillic(866, 1251);
    TListBlock list(TGroupRecord::kSize);
    char bytes[TGroupRecord::kSize];
    for (const char* name : {"\xA5.x", "\xF1.x", "\xA6.x"}) {
        TGroupRecord{name}.Write(bytes);
        list.Append(bytes);
    }
    ScopedEnvironment environment;
    environment.Set("KESTROVA_OEMCP", "437");
    environment.Set("KESTROVA_ANSICP", "1252");
    const std::pair<const char*, size_t> lookups[] = {
        {"\x85.X", 0}, {"\xF0.X", 1}, {"\x86.X", 2}};  // upper case
    for (const auto& [name, at] : lookups) {
        bool found = false;
        EXPECT_EQ(FindGroup(list, name, found, cyrillic), at) << name;
        EXPECT_TRUE(found) << name;
    }
}

// Flags to attributes (read-only for a group without posting, archive unless new) and the
// range to the size and links, without overflow.
TEST(GroupItemTest, FolderWithCountsAndAttributes) {
    const std::tuple<int32_t, int32_t, uint32_t, std::string> cases[] = {
        {1, 123, kPostingAllowed, "30 123 123 1 123"},
        {5, 10, kPostingNotAllowed, "31 6 6 5 10"},
        {5, 10, kPostingModerated | kNewGroup, "10 6 6 5 10"},
        {1, 0, kPostingAllowed, "30 0 0 1 0"},  // an empty group
        {INT32_MIN, INT32_MAX, 0, "30 4294967295 4294967295 -2147483648 2147483647"},
        {10, 1, 0, "30 0 0 10 1"},  // a range that makes no sense
    };
    TPanelItemList items;
    for (const auto& [first, last, flags, shown] : cases) {
        AddGroupItem(items, {"alt.test", first, last, flags},
                     SYSTEMTIME{2024, 3, 0, 1, 12, 0, 0, 0}, -4);
    }
    PluginPanelItem* array = nullptr;
    int count = 0;
    items.Release(array, count);
    ASSERT_EQ(count, 6);
    for (int i = 0; i < count; ++i) {
        const PluginPanelItem& item = array[i];
        EXPECT_STREQ(item.FindData.cFileName, "alt.test");
        EXPECT_NE(item.FindData.ftLastWriteTime.dwHighDateTime, 0u);
        ASSERT_EQ(item.CustomColumnNumber, 2);
        char attributes[16];
        std::snprintf(attributes, sizeof attributes, "%x", item.FindData.dwFileAttributes);
        EXPECT_EQ(std::string(attributes) + " " + std::to_string(item.FindData.nFileSizeLow) + " " +
                      std::to_string(item.NumberOfLinks) + " " + item.CustomColumnData[0] + " " +
                      item.CustomColumnData[1],
                  std::get<3>(cases[i]));
    }
    FreePanelItems(array, count);
}

}  // namespace
}  // namespace kestrova::testing

// The group record and list block byte for byte, LIST/NEWGROUPS lines, sorted insertion and the
// group's panel item.
#include "news/group_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/scoped_environment.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

using namespace std::literals;

TEST(GroupRecordTest, LayoutIsPackedLittleEndian) {
    TGroupRecord record;
    record.Name = "alt.test";
    record.First = 0x01020304;
    record.Last = -2;
    record.Flags = kOwnGroup | kPostingModerated;
    std::vector<char> bytes(TGroupRecord::kSize, 'x');
    record.Write(bytes.data());
    EXPECT_EQ(
        std::string(bytes.begin(), bytes.end()),
        "alt.test" + std::string(121, '\0') + "\x04\x03\x02\x01\xFE\xFF\xFF\xFF\x02\x01\0\0"s);
    const TGroupRecord back = TGroupRecord::Read(bytes.data());
    EXPECT_EQ(back.Name, "alt.test");
    EXPECT_EQ(back.First, 0x01020304);
    EXPECT_EQ(back.Last, -2);
    EXPECT_EQ(back.Flags, kOwnGroup | kPostingModerated);
    // A name without its terminator stays inside its field.
    std::fill(bytes.begin(), bytes.end(), 'a');
    EXPECT_EQ(TGroupRecord::Read(bytes.data()).Name, std::string(129, 'a'));
}

TEST(ListBlockTest, HeaderHoldsStampAndCount) {
    TListBlock block(TGroupRecord::kSize);
    block.SetStamp(SYSTEMTIME{1999, 12, 0, 5, 10, 2, 3, 0x1234});
    TGroupRecord record;
    record.Name = "b";
    char bytes[TGroupRecord::kSize];
    record.Write(bytes);
    block.Append(bytes);
    block.Append(bytes);

    const std::vector<char>& raw = block.Bytes();
    ASSERT_EQ(raw.size(), 20u + 2 * 141u);
    const std::vector<char> header(raw.begin(), raw.begin() + 20);
    EXPECT_EQ(header, (std::vector<char>{'\xCF', 7, 12, 0, 0,    0,    5, 0, 10, 0,
                                         2,      0, 3,  0, 0x34, 0x12, 2, 0, 0,  0}));
    EXPECT_EQ(block.Stamp().wYear, 1999);
    EXPECT_EQ(block.Stamp().wMilliseconds, 0x1234);
}

// Size of the bytes, the count in the header, accepted (keeping count records, extra bytes
// dropped) or refused (empty).
TEST(ListBlockTest, AssignRefusesCountsPastTheBytes) {
    const std::tuple<size_t, uint32_t, bool> cases[] = {
        {19, 0, false},       {20, 0, true},           {20 + 141, 1, true},
        {20 + 141, 2, false}, {20 + 141 + 7, 1, true}, {20 + 141, 0x7F0000FF, false},
    };
    for (const auto& [size, count, accepted] : cases) {
        std::vector<char> bytes(size, 0);
        for (size_t i = 0; i < 4 && 16 + i < size; ++i)
            bytes[16 + i] = static_cast<char>(count >> (8 * i));
        TListBlock block(TGroupRecord::kSize);
        EXPECT_EQ(block.Assign(bytes), accepted) << size << " " << count;
        EXPECT_EQ(block.Bytes().size(), 20 + (accepted ? count : 0) * 141) << size << " " << count;
    }
}

TEST(GroupLineTest, NameNumbersAndPostingFlag) {
    struct Case {
        std::string_view line;
        bool serverAllowsPosting;
        const char* name;  // nullptr: an empty line
        int32_t first, last;
        uint32_t posting;
    };
    const Case cases[] = {
        {"alt.test 0000000123 0000000001 y", true, "alt.test", 1, 123, kPostingAllowed},
        {"alt.mod 10 5 m", true, "alt.mod", 5, 10, kPostingModerated},
        {"alt.ro 10 5 N", true, "alt.ro", 5, 10, kPostingNotAllowed},
        {"alt.x 10 5 =alt.y", true, "alt.x", 5, 10, kPostingAllowed},
        {"alt.bare 10 5", true, "alt.bare", 5, 10, kPostingAllowed},
        {"alt.bare 10 5", false, "alt.bare", 5, 10, kPostingNotAllowed},
        {"alt.junk ten 99999999999 y", true, "alt.junk", 0, 0, kPostingAllowed},
        {"  alt.spaced   7   3  y", true, "alt.spaced", 3, 7, kPostingAllowed},
        {"alt.name", true, "alt.name", 0, 0, kPostingAllowed},
        {"alt.nul\0junk 7 3 y"sv, true, "alt.nul", 3, 7, kPostingAllowed},
        {"", true, nullptr, 0, 0, 0},
        {"    ", true, nullptr, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TGroupRecord record;
        EXPECT_EQ(ParseGroupLine(c.line, c.serverAllowsPosting, record),
                  c.name ? GroupLine::Group : GroupLine::Empty)
            << c.line;
        if (c.name == nullptr) continue;
        EXPECT_EQ(record.Name, c.name) << c.line;
        EXPECT_EQ(record.First, c.first) << c.line;
        EXPECT_EQ(record.Last, c.last) << c.line;
        EXPECT_EQ(record.Flags, c.posting | kNewGroup) << c.line;
    }
}

TEST(GroupLineTest, NameThatDoesNotFitIsRefusedNotCut) {
    TGroupRecord record;
    EXPECT_EQ(ParseGroupLine(std::string(128, 'g') + " 1 1 y", true, record), GroupLine::Group);
    EXPECT_EQ(record.Name.size(), 128u);
    EXPECT_EQ(ParseGroupLine(std::string(129, 'g') + " 1 1 y", true, record), GroupLine::TooLong);
}

std::vector<std::string> Names(const TListBlock& list) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < list.Count(); ++i) {
        names.push_back(TGroupRecord::Read(list.Record(i)).Name);
    }
    return names;
}

TEST(GroupListOrderTest, InsertionKeepsCaseInsensitiveOrderWithoutTwins) {
    TListBlock list(TGroupRecord::kSize);
    const std::pair<const char*, bool> inserts[] = {
        {"comp.lang.c", true}, {"alt.test", true},  {"Comp.Lang.C", false}, {"b.group", true},
        {"zzz.last", true},    {"alt.test", false}, {"ALT.first", true},
    };
    for (const auto& [name, inserted] : inserts) {
        TGroupRecord record;
        record.Name = name;
        EXPECT_EQ(InsertGroup(list, record), inserted) << name;
    }
    EXPECT_EQ(Names(list), (std::vector<std::string>{"ALT.first", "alt.test", "b.group",
                                                     "comp.lang.c", "zzz.last"}));
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
        TGroupRecord record;
        record.Name = name;
        record.Write(bytes);
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
// range to the size, without overflow.
TEST(GroupItemTest, FolderWithCountsAndAttributes) {
    const std::tuple<int32_t, int32_t, uint32_t, uint32_t, uint32_t> cases[] = {
        {1, 123, kPostingAllowed, 0x30, 123},
        {5, 10, kPostingNotAllowed, 0x31, 6},
        {5, 10, kPostingModerated | kNewGroup, 0x10, 6},
        {1, 0, kPostingAllowed, 0x30, 0},             // an empty group
        {INT32_MIN, INT32_MAX, 0, 0x30, UINT32_MAX},  // no overflow
        {10, 1, 0, 0x30, 0},                          // a range that makes no sense
    };
    TPanelItemList items;
    for (const auto& [first, last, flags, attributes, size] : cases) {
        TGroupRecord group{"alt.test", first, last, flags};
        AddGroupItem(items, group, SYSTEMTIME{2024, 3, 0, 1, 12, 0, 0, 0}, -4);
    }
    PluginPanelItem* array = nullptr;
    int count = 0;
    items.Release(array, count);
    ASSERT_EQ(count, 6);
    for (int i = 0; i < count; ++i) {
        const auto& [first, last, flags, attributes, size] = cases[i];
        const PluginPanelItem& item = array[i];
        EXPECT_STREQ(item.FindData.cFileName, "alt.test");
        EXPECT_EQ(item.FindData.dwFileAttributes, attributes) << i;
        EXPECT_EQ(item.FindData.nFileSizeLow, size) << i;
        EXPECT_EQ(item.NumberOfLinks, size);
        EXPECT_NE(item.FindData.ftLastWriteTime.dwHighDateTime, 0u);
        EXPECT_EQ(std::vector<std::string>(item.CustomColumnData,
                                           item.CustomColumnData + item.CustomColumnNumber),
                  (std::vector<std::string>{std::to_string(first), std::to_string(last)}));
    }
    FreePanelItems(array, count);
}

}  // namespace
}  // namespace kestrova::testing

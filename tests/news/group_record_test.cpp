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

using namespace std::string_view_literals;

TEST(GroupRecordTest, LayoutIsPackedLittleEndian) {
    TGroupRecord record;
    record.Name = "alt.test";
    record.First = 0x01020304;
    record.Last = -2;
    record.Flags = kOwnGroup | kPostingModerated;
    std::vector<char> bytes(TGroupRecord::kSize, 'x');
    record.Write(bytes.data());

    ASSERT_EQ(TGroupRecord::kSize, 141u);
    EXPECT_EQ(std::string(bytes.data()), "alt.test");
    for (size_t i = 8; i < 129; ++i) EXPECT_EQ(bytes[i], '\0') << i;  // the rest is zero-filled
    const std::vector<char> numbers(bytes.begin() + 129, bytes.end());
    EXPECT_EQ(numbers, (std::vector<char>{4, 3, 2, 1, '\xFE', '\xFF', '\xFF', '\xFF', 2, 1, 0, 0}));

    const TGroupRecord back = TGroupRecord::Read(bytes.data());
    EXPECT_EQ(back.Name, "alt.test");
    EXPECT_EQ(back.First, 0x01020304);
    EXPECT_EQ(back.Last, -2);
    EXPECT_EQ(back.Flags, kOwnGroup | kPostingModerated);
}

TEST(GroupRecordTest, NameWithoutTerminatorStaysInsideItsField) {
    std::vector<char> bytes(TGroupRecord::kSize, 'a');
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

TEST(ListBlockTest, AssignRefusesCountsPastTheBytes) {
    struct Case {
        const char* what;
        size_t size;
        uint8_t count;
        bool accepted;
        uint32_t kept;
    };
    const Case cases[] = {
        {"shorter than the header", 19, 0, false, 0},
        {"empty list", 20, 0, true, 0},
        {"one record", 20 + 141, 1, true, 1},
        {"count one past the records", 20 + 141, 2, false, 0},
        {"extra bytes are dropped", 20 + 141 + 7, 1, true, 1},
        {"huge count", 20 + 141, 0xFF, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes(c.size, 0);
        if (bytes.size() > 16) bytes[16] = static_cast<char>(c.count);
        if (c.count == 0xFF) bytes[19] = '\x7F';
        TListBlock block(TGroupRecord::kSize);
        EXPECT_EQ(block.Assign(bytes), c.accepted) << c.what;
        EXPECT_EQ(block.Count(), c.kept) << c.what;
        EXPECT_EQ(block.Bytes().size(), 20 + c.kept * 141) << c.what;
    }
}

TEST(GroupLineTest, Cases) {
    struct Case {
        std::string_view line;
        bool serverAllowsPosting;
        GroupLine kind;
        const char* name;
        int32_t first;
        int32_t last;
        uint32_t flags;
    };
    const Case cases[] = {
        {"alt.test 0000000123 0000000001 y", true, GroupLine::Group, "alt.test", 1, 123,
         kPostingAllowed | kNewGroup},
        {"alt.mod 10 5 m", true, GroupLine::Group, "alt.mod", 5, 10, kPostingModerated | kNewGroup},
        {"alt.ro 10 5 N", true, GroupLine::Group, "alt.ro", 5, 10, kPostingNotAllowed | kNewGroup},
        {"alt.x 10 5 =alt.y", true, GroupLine::Group, "alt.x", 5, 10, kPostingAllowed | kNewGroup},
        {"alt.bare 10 5", true, GroupLine::Group, "alt.bare", 5, 10, kPostingAllowed | kNewGroup},
        {"alt.bare 10 5", false, GroupLine::Group, "alt.bare", 5, 10,
         kPostingNotAllowed | kNewGroup},
        {"alt.junk ten 99999999999 y", true, GroupLine::Group, "alt.junk", 0, 0,
         kPostingAllowed | kNewGroup},
        {"  alt.spaced   7   3  y", true, GroupLine::Group, "alt.spaced", 3, 7,
         kPostingAllowed | kNewGroup},
        {"alt.name", true, GroupLine::Group, "alt.name", 0, 0, kPostingAllowed | kNewGroup},
        {"alt.nul\0junk 7 3 y"sv, true, GroupLine::Group, "alt.nul", 3, 7,
         kPostingAllowed | kNewGroup},
        {"", true, GroupLine::Empty, "", 0, 0, 0},
        {"    ", true, GroupLine::Empty, "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        TGroupRecord record;
        EXPECT_EQ(ParseGroupLine(c.line, c.serverAllowsPosting, record), c.kind) << c.line;
        if (c.kind != GroupLine::Group) continue;
        EXPECT_EQ(record.Name, c.name) << c.line;
        EXPECT_EQ(record.First, c.first) << c.line;
        EXPECT_EQ(record.Last, c.last) << c.line;
        EXPECT_EQ(record.Flags, c.flags) << c.line;
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

TEST(GroupItemTest, FolderWithCountsAndAttributes) {
    struct Case {
        int32_t first;
        int32_t last;
        uint32_t flags;
        uint32_t attributes;
        uint32_t size;
    };
    const Case cases[] = {
        {1, 123, kPostingAllowed, 0x30, 123},
        {5, 10, kPostingNotAllowed, 0x31, 6},
        {5, 10, kPostingModerated | kNewGroup, 0x10, 6},
        {1, 0, kPostingAllowed, 0x30, 0},             // an empty group
        {INT32_MIN, INT32_MAX, 0, 0x30, UINT32_MAX},  // no overflow
        {10, 1, 0, 0x30, 0},                          // a range that makes no sense
    };
    for (const Case& c : cases) {
        TGroupRecord group;
        group.Name = "alt.test";
        group.First = c.first;
        group.Last = c.last;
        group.Flags = c.flags;
        TPanelItemList items;
        AddGroupItem(items, group, SYSTEMTIME{2024, 3, 0, 1, 12, 0, 0, 0}, -4);
        PluginPanelItem* array = nullptr;
        int count = 0;
        items.Release(array, count);
        ASSERT_EQ(count, 1);
        const PluginPanelItem& item = array[0];
        EXPECT_STREQ(item.FindData.cFileName, "alt.test");
        EXPECT_EQ(item.FindData.dwFileAttributes, c.attributes) << c.flags;
        EXPECT_EQ(item.FindData.nFileSizeLow, c.size) << c.first << ".." << c.last;
        EXPECT_EQ(item.NumberOfLinks, c.size);
        EXPECT_NE(item.FindData.ftLastWriteTime.dwHighDateTime, 0u);
        ASSERT_EQ(item.CustomColumnNumber, 2);
        EXPECT_EQ(std::string(item.CustomColumnData[0]), std::to_string(c.first));
        EXPECT_EQ(std::string(item.CustomColumnData[1]), std::to_string(c.last));
        FreePanelItems(array, count);
    }
}

}  // namespace
}  // namespace kestrova::testing

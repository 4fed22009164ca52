#include "store/reg_ini_file.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "platform/fresh_store.h"

namespace kestrova {
namespace {

class RegIniFileTest : public ::testing::Test {
  protected:
    FreshStore store_;
};

TEST_F(RegIniFileTest, CreatingAViewOnAMissingPathCreatesIt) {
    {
        TRegIniFile ini("Software\\Far\\Plugins\\Kestrova\\");
        EXPECT_EQ(ini.CurrentPath, "Software\\Far\\Plugins\\Kestrova\\");
    }
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("Software\\Far\\Plugins\\Kestrova"));
}

TEST_F(RegIniFileTest, IntegersAreDecimalTextWithHexadecimalPrefix) {
    TRegIniFile ini("Numbers");
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"0x1F", 31}, {"0X1f", 31}, {"12abc", -7},      {"0x", -7},         {"", -7},  {"42", 42},
        {"-42", -42}, {"$10", 16},  {"0xFFFFFFFF", -1}, {"2147483648", -7}, {"x", -7}, {" 5", 5},
    };
    for (const Case& c : cases) {
        ini.WriteString("S", "v", c.text);
        EXPECT_EQ(ini.ReadInteger("S", "v", -7), c.expected) << '"' << c.text << '"';
    }
    ini.WriteInteger("S", "n", -123);
    EXPECT_EQ(ini.ReadString("S", "n", ""), "-123");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Numbers\\S", false));
    TRegDataType kind;
    int size;
    ASSERT_TRUE(reg.GetDataInfo("n", kind, size));
    EXPECT_EQ(kind, TRegDataType::rdString);
    EXPECT_EQ(ini.ReadInteger("Missing", "v", 9), 9);
}

TEST_F(RegIniFileTest, ReadsOfMissingThingsGiveTheDefault) {
    TRegIniFile ini("View");
    EXPECT_EQ(ini.ReadString("NoSection", "x", "dflt"), "dflt");
    ini.WriteString("Section", "present", "value");
    EXPECT_EQ(ini.ReadString("Section", "absent", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("SECTION", "PRESENT", "dflt"), "value");
    FILETIME dflt{1, 2};
    FILETIME t = ini.ReadTime("Section", "absent", dflt);
    EXPECT_EQ(t.dwLowDateTime, 1u);
    ini.WriteTime("Times", "now", FILETIME{5, 6});
    EXPECT_EQ(ini.ReadTime("Times", "now", dflt).dwHighDateTime, 6u);
    // A value of the wrong kind is an error, not a default.
    EXPECT_THROW(ini.ReadTime("Section", "present", dflt), ERegistryError);
    // The view's own key stays current and CurrentPath is never changed by a section access.
    EXPECT_EQ(ini.CurrentPath, "View");
}

TEST_F(RegIniFileTest, SectionsListEraseAndLeaveListsAloneWhenMissing) {
    TRegIniFile ini("Sections");
    ini.WriteString("One", "b", "1");
    ini.WriteString("One", "a", "2");
    ini.WriteString("One\\Nested", "x", "3");
    ini.WriteString("Two", "c", "4");
    TStringList list;
    ini.ReadSection("One", list);
    EXPECT_EQ(list.Text(), "b\r\na\r\n");
    ini.ReadSection("Missing", list);
    EXPECT_EQ(list.Text(), "b\r\na\r\n");
    ini.ReadSections(list);
    EXPECT_EQ(list.Text(), "One\r\nTwo\r\n");
    ini.EraseSection("one");
    ini.ReadSections(list);
    EXPECT_EQ(list.Text(), "Two\r\n");
    EXPECT_EQ(ini.ReadString("One\\Nested", "x", "gone"), "gone");
}

}  // namespace
}  // namespace kestrova

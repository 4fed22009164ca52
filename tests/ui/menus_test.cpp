#include "ui/menus.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"

namespace kestrova {
namespace {

using testing::HostTest;

class RunMenuTest : public HostTest {
  protected:
    int SelectedEntry(const testing::FakeHost::MenuCall& call) {
        int selected = -1;
        for (size_t i = 0; i < call.items.size(); ++i) {
            if (call.items[i].Selected) {
                EXPECT_EQ(selected, -1) << "more than one entry marked";
                selected = static_cast<int>(i);
            }
        }
        return selected;
    }
};

TEST_F(RunMenuTest, IsCentredAutoHighlightedAndReturnsTheHostsAnswer) {
    host.menuAnswers = {2};
    EXPECT_EQ(RunMenu("Title", {"one", "two", "three"}, 1), 2);
    ASSERT_EQ(host.menus.size(), 1u);
    const auto& call = host.menus[0];
    EXPECT_EQ(call.x, -1);
    EXPECT_EQ(call.y, -1);
    EXPECT_EQ(call.maxHeight, 0);
    EXPECT_EQ(call.flags, FMENU_AUTOHIGHLIGHT);
    EXPECT_EQ(call.title, "Title");
    ASSERT_EQ(call.items.size(), 3u);
    EXPECT_STREQ(call.items[2].Text, "three");
}

TEST_F(RunMenuTest, MarksTheSelectedEntryOnlyWhenValid) {
    struct Case {
        int selected;
        int marked;
    };
    std::vector<const char*> texts(300, "entry");
    for (Case c : {Case{5, 5}, Case{0, 0}, Case{-1, 0}, Case{299, 0}, Case{300, 0}, Case{255, 255},
                   Case{256, 0}}) {
        host.menuAnswers = {-1};
        EXPECT_EQ(RunMenu("T", texts, c.selected), -1);
        EXPECT_EQ(SelectedEntry(host.menus.back()), c.marked) << "selected " << c.selected;
    }
}

TEST_F(RunMenuTest, NullTextIsASeparator) {
    host.menuAnswers = {2};
    EXPECT_EQ(RunMenu("T", {"a", nullptr, "b"}, 0), 2);
    const auto& items = host.menus[0].items;
    EXPECT_EQ(items[0].Separator, 0);
    EXPECT_EQ(items[1].Separator, 1);
    EXPECT_STREQ(items[1].Text, "");
    EXPECT_EQ(items[2].Separator, 0);
}

TEST_F(RunMenuTest, LongTextIsCutToTheItemsField) {
    const std::string longText(300, 'x');
    host.menuAnswers = {0};
    RunMenu("T", {longText.c_str()}, 0);
    EXPECT_EQ(std::string(host.menus[0].items[0].Text), std::string(127, 'x'));
}

TEST_F(RunMenuTest, EmptyMenuIsNotShown) {
    EXPECT_EQ(RunMenu("T", {}, 0), -1);
    EXPECT_TRUE(host.menus.empty());
}

TEST_F(RunMenuTest, ListMenuTurnsADashIntoASeparator) {
    TStringList list;
    for (const char* text : {"a", "-", "--", "b"}) list.Add(text);
    host.menuAnswers = {3};
    EXPECT_EQ(RunListMenu("List", list, 3), 3);
    const auto& call = host.menus[0];
    EXPECT_EQ(call.title, "List");
    ASSERT_EQ(call.items.size(), 4u);
    EXPECT_EQ(call.items[1].Separator, 1);
    EXPECT_EQ(call.items[2].Separator, 0);
    EXPECT_STREQ(call.items[2].Text, "--");
    EXPECT_EQ(SelectedEntry(call), 3);
}

}  // namespace
}  // namespace kestrova

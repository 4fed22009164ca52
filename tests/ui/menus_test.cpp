#include "ui/menus.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"

namespace kestrova {
namespace {

// Menus as shown are checked by the script transcripts; here what they never reach.
class RunMenuTest : public testing::HostTest {
  protected:
    std::vector<int> Marked() {
        std::vector<int> marked;
        const auto& items = host.menus.back().items;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].Selected) marked.push_back(static_cast<int>(i));
        return marked;
    }
};

TEST_F(RunMenuTest, MarksTheSelectedEntryOnlyWhenValid) {
    std::vector<const char*> texts(300, "entry");
    for (auto [selected, marked] :
         {std::pair{5, 5}, {-1, 0}, {299, 0}, {300, 0}, {255, 255}, {256, 0}}) {
        host.menuAnswers = {-1};
        EXPECT_EQ(RunMenu("T", texts, selected), -1);
        EXPECT_EQ(Marked(), std::vector{marked}) << "selected " << selected;
    }
    EXPECT_EQ(RunMenu("T", {}, 0), -1);  // an empty menu is not shown
    EXPECT_EQ(host.menus.size(), 6u);
}

TEST_F(RunMenuTest, LongTextIsCutAndAListDashIsASeparator) {
    const std::string longText(300, 'x');
    host.menuAnswers = {0, 3};
    RunMenu("T", {longText.c_str()}, 0);
    EXPECT_EQ(std::string(host.menus[0].items[0].Text), std::string(127, 'x'));
    TStringList list;
    for (const char* text : {"a", "-", "--", "b"}) list.Add(text);
    EXPECT_EQ(RunListMenu("List", list, 3), 3);
    const auto& items = host.menus[1].items;
    EXPECT_EQ(items[1].Separator, 1);
    EXPECT_EQ(items[2].Separator, 0);
    EXPECT_STREQ(items[2].Text, "--");
    EXPECT_EQ(Marked(), std::vector{3});
}

}  // namespace
}  // namespace kestrova

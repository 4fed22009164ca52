#include "ui/dialog_builder.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_host.h"

namespace kestrova {
namespace {

using testing::HostTest;

// A table shaped like the module's dialogs: frame, label, field ..., OK, Cancel.
std::vector<DialogItemTemplate> Table(int count, int lastLine) {
    std::vector<DialogItemTemplate> table{{DI_DOUBLEBOX, 3, 1, 70, 0, 59}};
    for (int i = 1; i < count - 2; ++i) table.push_back({DI_EDIT, 5, 1 + i / 2, 34, 0, 0});
    table.push_back({DI_BUTTON, 0, lastLine, 0, kButtonRow, 12});
    table.push_back({DI_BUTTON, 0, lastLine, 0, kButtonRow, 2});
    return table;
}

int Marked(const DialogItems& items, int FarDialogItem::*field) {
    int found = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].*field) {
            EXPECT_EQ(found, -1) << "more than one item marked";
            found = static_cast<int>(i);
        }
    return found;
}

using BuildDialogTest = HostTest;

TEST_F(BuildDialogTest, CopiesTemplatesAndMessageTexts) {
    const DialogItemTemplate table[] = {{DI_DOUBLEBOX, 3, 1, 70, 0, 75},
                                        {DI_CHECKBOX, 5, 2, 0, 0, 81},
                                        {DI_FIXEDIT, 7, 3, 7, 0, 0},
                                        {DI_BUTTON, 0, 4, 0, kButtonRow, 12}};
    host.texts[0] = "";
    const DialogItems items = BuildDialog(table, 0, 0);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[1].Type, DI_CHECKBOX);
    EXPECT_EQ(items[2].X1, 7);
    EXPECT_EQ(items[2].X2, 7);
    EXPECT_EQ(items[2].Y2, 0);
    EXPECT_EQ(items[3].Flags, DIF_CENTERGROUP);
    EXPECT_STREQ(items[0].Data, "<75>");
    EXPECT_STREQ(items[1].Data, "<81>");
    EXPECT_STREQ(items[2].Data, "");
}

TEST_F(BuildDialogTest, DefaultAndFocusFallBackToTheTablesUsualItems) {
    struct Case {
        int defaultIndex, focusIndex;
        int expectedDefault, expectedFocus;
    };
    for (Case c : {Case{0, 0, 24, 2}, Case{26, 26, 24, 2}, Case{-3, -1, 24, 2}, Case{19, 1, 19, 1},
                   Case{25, 3, 25, 3}}) {
        const DialogItems items = BuildDialog(Table(26, 14), c.defaultIndex, c.focusIndex);
        EXPECT_EQ(Marked(items, &FarDialogItem::DefaultButton), c.expectedDefault)
            << c.defaultIndex;
        EXPECT_EQ(Marked(items, &FarDialogItem::Focus), c.expectedFocus) << c.focusIndex;
    }
}

TEST_F(BuildDialogTest, FrameReachesOneLineBelowTheLastItem) {
    DialogItems items = BuildDialog(Table(26, 14), 0, 0);
    EXPECT_EQ(items[0].Y2, 15);

    host.dialogAnswers = {testing::FakeHost::Close(24)};
    EXPECT_EQ(ShowDialog(items, "dlgInterface"), 24);
    const auto& call = host.dialogs[0];
    EXPECT_EQ(call.x1, -1);
    EXPECT_EQ(call.y1, -1);
    EXPECT_EQ(call.x2, 74);
    EXPECT_EQ(call.y2, 17);
    EXPECT_EQ(call.helpTopic, "dlgInterface");
    EXPECT_EQ(call.items.size(), 26u);
}

TEST_F(BuildDialogTest, ShowingAgainKeepsWhatTheUserEntered) {
    DialogItems items = BuildDialog(Table(6, 4), 0, 0);
    host.dialogAnswers = {testing::FakeHost::Close(1, {{2, "typed"}}), testing::FakeHost::Close(4)};
    EXPECT_EQ(ShowDialog(items, nullptr), 1);
    EXPECT_EQ(ShowDialog(items, nullptr), 4);
    EXPECT_STREQ(host.dialogs[1].items[2].Data, "typed");
    EXPECT_EQ(ItemText(items[2]), "typed");
}

TEST(DialogItemTest, ValuesAreCutAt255Characters) {
    FarDialogItem item{};
    SetItemText(item, std::string(600, 'v'));
    EXPECT_EQ(ItemText(item), std::string(kItemValueLimit, 'v'));
}

TEST(DialogItemTest, HistorySetsTheNameAndTheFlag) {
    FarDialogItem item{};
    item.Flags = DIF_CENTERGROUP;
    SetItemHistory(item, "KstrvLog");
    EXPECT_STREQ(item.History, "KstrvLog");
    EXPECT_EQ(item.Flags, DIF_CENTERGROUP | DIF_HISTORY);
}

}  // namespace
}  // namespace kestrova

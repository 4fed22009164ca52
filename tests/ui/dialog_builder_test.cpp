#include "ui/dialog_builder.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_host.h"

namespace kestrova {
namespace {

// Where a dialog's default button and focus land when the given index is out of the table: the
// dialogs' own layouts are checked by the configuration script transcripts.
using DialogBuilderTest = testing::HostTest;

TEST_F(DialogBuilderTest, DefaultAndFocusFallBackToTheTablesUsualItems) {
    std::vector<DialogItemTemplate> table{{DI_DOUBLEBOX, 3, 1, 70, 0, 59}};
    for (int i = 1; i < 24; ++i) table.push_back({DI_EDIT, 5, 1 + i / 2, 34, 0, 0});
    table.push_back({DI_BUTTON, 0, 14, 0, kButtonRow, 12});
    table.push_back({DI_BUTTON, 0, 14, 0, kButtonRow, 2});
    const auto marked = [](const DialogItems& items, int FarDialogItem::*field) {
        std::vector<int> found;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].*field) found.push_back(static_cast<int>(i));
        return found;
    };
    const struct {
        int defaultIndex, focusIndex, expectedDefault, expectedFocus;
    } cases[] = {{0, 0, 24, 2}, {26, 26, 24, 2}, {-3, -1, 24, 2}, {19, 1, 19, 1}, {25, 3, 25, 3}};
    for (const auto& c : cases) {
        const DialogItems items = BuildDialog(table, c.defaultIndex, c.focusIndex);
        EXPECT_EQ(marked(items, &FarDialogItem::DefaultButton), std::vector{c.expectedDefault});
        EXPECT_EQ(marked(items, &FarDialogItem::Focus), std::vector{c.expectedFocus});
    }
    FarDialogItem item{};
    SetItemText(item, std::string(600, 'v'));
    EXPECT_EQ(ItemText(item), std::string(kItemValueLimit, 'v'));
}

}  // namespace
}  // namespace kestrova

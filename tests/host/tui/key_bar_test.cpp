#include "host/tui/key_bar.h"

#include <gtest/gtest.h>

namespace kestrova::host::tui {
namespace {

TEST(KeyBar, ModuleLabelsReplaceTheHostsInTheHeldRow) {
    KeyBarLabels module{};
    module[static_cast<size_t>(KeyBarRow::Plain)][6] = "Groups";
    module[static_cast<size_t>(KeyBarRow::Shift)][3] = "Post";
    const auto plain = KeyBarLabelsOf(RowOf(0), &module);
    EXPECT_EQ(plain[6], "Groups");
    EXPECT_EQ(plain[4], "Copy");  // the host's where the module gives none
    EXPECT_EQ(KeyBarLabelsOf(RowOf(PKF_SHIFT), &module)[3], "Post");
    EXPECT_EQ(KeyBarLabelsOf(RowOf(PKF_ALT), nullptr)[6], "Find");
    EXPECT_EQ(RowOf(PKF_CONTROL | PKF_SHIFT), KeyBarRow::CtrlShift);
    EXPECT_EQ(RowOf(PKF_CONTROL | PKF_ALT), KeyBarRow::CtrlAlt);
}

TEST(KeyBar, SlotsFillTheWidthWithoutOverlap) {
    for (int width : {80, 100, 137, 30, 10}) {
        const std::vector<KeyBarSlot> slots = LayoutKeyBar(width);
        ASSERT_FALSE(slots.empty()) << width;
        int x = 0;
        for (const KeyBarSlot& slot : slots) {
            EXPECT_EQ(slot.X, x) << width;
            EXPECT_GE(slot.LabelWidth, 1) << width;
            x += slot.NumberWidth + slot.LabelWidth;
        }
        EXPECT_EQ(x, width) << width;
        if (width >= 80) {
            EXPECT_EQ(slots.size(), 12u);
        }
    }
}

}  // namespace
}  // namespace kestrova::host::tui

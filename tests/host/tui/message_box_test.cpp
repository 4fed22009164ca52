#include "host/tui/message_box.h"

#include <gtest/gtest.h>

#include "host/tui/dialog_layout.h"

namespace kestrova::host::tui {
namespace {

TEST(MessageBox, ButtonsFormACentredRowAndLongLinesWrapWithinTheScreen) {
    MessageRequest request;
    request.Lines = {"Error", std::string(50, 'x') + " " + std::string(50, 'y'), "short"};
    request.Buttons = {"&Retry", "Cancel"};
    MessageDialog box = BuildMessageDialog(request, 80);
    ASSERT_EQ(box.Items.size(), 6u);  // frame, three lines, two buttons
    EXPECT_EQ(box.FirstButton, 4);
    EXPECT_LE(box.Width, 80);
    EXPECT_EQ(std::string(box.Items[1].Data), std::string(50, 'x'));
    EXPECT_EQ(std::string(box.Items[2].Data), std::string(50, 'y'));
    EXPECT_EQ(box.Items[4].DefaultButton, 1);

    DialogModel model(box.Items.data(), static_cast<int>(box.Items.size()));
    const std::vector<ItemPlace> places = PlaceItems(model, box.Width);
    EXPECT_EQ(places[4].Y, places[5].Y);
    EXPECT_EQ(places[4].Width, 9);  // "[ Retry ]"
    EXPECT_EQ(places[5].X, places[4].X + places[4].Width + 1);
    const int left = places[4].X;
    const int right = box.Width - (places[5].X + places[5].Width);
    EXPECT_LE(std::abs(left - right), 1) << "the row is centred";
    EXPECT_EQ(places[3].X, (box.Width - 5) / 2) << "body lines are centred";

    request.Flags = FMSG_LEFTALIGN;
    request.Buttons.clear();
    box = BuildMessageDialog(request, 80);
    EXPECT_EQ(box.Items.size(), 4u);
    EXPECT_EQ(box.Items[3].X1, box.Items[1].X1) << "left-aligned lines start together";
    EXPECT_EQ(box.Height, 3 + 4);
}

}  // namespace
}  // namespace kestrova::host::tui

// A message box as a dialog: a frame with the title, the body lines (centred, or left-aligned
// with FMSG_LEFTALIGN; a line too long for the screen is wrapped at spaces), and a centred row
// of buttons, the first one the default.
#pragma once

#include <vector>

#include "host/front_end.h"

namespace kestrova::host::tui {

struct MessageDialog {
    std::vector<FarDialogItem> Items;
    int Width = 0;
    int Height = 0;
    int FirstButton = 0;  // the item of button 0 (Items.size() when there are none)
};

MessageDialog BuildMessageDialog(const MessageRequest& message, int screenWidth);

}  // namespace kestrova::host::tui

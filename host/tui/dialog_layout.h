// Where the items of a dialog go: at the module's coordinates, relative to the dialog's
// top-left corner, except centred texts (X1 -1) and rows of DIF_CENTERGROUP items, which are
// centred in the dialog's width (items of a row one column apart).
#pragma once

#include <vector>

#include "host/tui/dialog_model.h"

namespace kestrova::host::tui {

struct ItemPlace {
    int X = 0;
    int Y = 0;
    int Width = 0;  // cells the item takes on its line (a frame: its full width)
};

// The cells an item takes: "[ text ]" for a button (the text alone with DIF_NOBRACKETS),
// "[x] text" for check and radio boxes, the field's width for edits.
int ItemWidth(const FarDialogItem& item, const MarkedText& label);

// Widens a dialog whose frame (item 0) is too narrow for its title with a space on either
// side: the frame's right edge moves out by the columns returned, at most room.
int WidenForTitle(FarDialogItem* items, int count, int room);

std::vector<ItemPlace> PlaceItems(const DialogModel& dialog, int dialogWidth);

// The item whose place holds the cell (x, y) of the dialog (the last such: frames come first),
// -1 for none.
int ItemAt(const std::vector<ItemPlace>& places, int x, int y);

}  // namespace kestrova::host::tui

// Dialogs built from compact constant templates and shown centred by the host.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/plugin_api.h"

namespace kestrova {

// One dialog item: one line high; the frame (item 0) gets its height from the last item.
struct DialogItemTemplate {
    int Type;
    int X1;
    int Y1;
    int X2;
    uint32_t Flags;
    int MsgNum;  // text of the item in the language file (0 for items whose text is a value)
};

// Flags of the templates.
inline constexpr uint32_t kButtonRow = DIF_CENTERGROUP;
inline constexpr uint32_t kSeparatorLine = DIF_SEPARATOR | DIF_BOXCOLOR;

// Longest value a caller puts into an item's text.
inline constexpr size_t kItemValueLimit = 255;

using DialogItems = std::vector<FarDialogItem>;

// One item per template with its message text. defaultIndex gets DefaultButton (0 or an index
// past the end means the last-but-one item, the accepting button); focusIndex gets Focus (0 or
// past the end means item 2, the first input field). The frame's Y2 is the lowest item's Y1 + 1.
DialogItems BuildDialog(std::span<const DialogItemTemplate> templates, int defaultIndex,
                        int focusIndex);

// Flushes pending input and shows the dialog centred, 4 columns wider than the frame's right
// edge and 2 lines taller than its bottom. Returns the index of the closing item, -1 for Esc.
// The items keep what the user entered, so the dialog can be shown again after a sub-choice.
int ShowDialog(DialogItems& items, const char* helpTopic);

// Item values: texts are cut at kItemValueLimit characters.
void SetItemText(FarDialogItem& item, std::string_view text);
std::string ItemText(const FarDialogItem& item);

// Numbers as decimal text; text that does not convert reads as defaultValue.
void SetItemNumber(FarDialogItem& item, int value);
int ItemNumber(const FarDialogItem& item, int defaultValue = 0);
// Check boxes: any non-zero value checks the box; reading gives 0 or 1.
void SetItemCheck(FarDialogItem& item, int value);
int ItemCheck(const FarDialogItem& item);

// Gives the field a history list under historyName (which must outlive the dialog).
void SetItemHistory(FarDialogItem& item, const char* historyName);

}  // namespace kestrova

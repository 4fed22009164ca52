// What both front ends know about the items of a module's dialog: which items take text, how
// radio buttons group, which item Enter chooses.
#pragma once

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova::host {

bool IsEditField(int type);

// The frame's text when item 0 is a frame, else empty.
std::string DialogTitle(const FarDialogItem* items, int count);

// The radio group of item index: a run of radio buttons that starts at one marked DIF_GROUP (or
// after an item of another type). first and last are both in the group.
struct RadioGroup {
    int First = 0;
    int Last = 0;
};
RadioGroup RadioGroupOf(const FarDialogItem* items, int count, int index);

// Selects radio button index and clears the others of its group.
void SelectRadio(FarDialogItem* items, int count, int index);

// The item that Enter closes a dialog with: the default button, else the focused item, else 0.
int EnterChoice(const FarDialogItem* items, int count);

}  // namespace kestrova::host

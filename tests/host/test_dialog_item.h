// A dialog item as a module builds one, for the tests of the dialog front ends.
#pragma once

#include <cstring>

#include "hostapi/plugin_api.h"

inline FarDialogItem Item(int type, const char* data, uint32_t flags = 0, int selected = 0) {
    FarDialogItem item{};
    item.Type = type;
    item.Flags = flags;
    item.Selected = selected;
    std::strcpy(item.Data, data);
    return item;
}

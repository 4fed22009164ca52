// The module's panel-item arrays: allocated zero-filled by the manager that lists a level and
// given back by the panel's FreeFindData. Every text an item points to is its own allocation.
#pragma once

#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova {

// A zero-filled array of count items (none for a count of 0). Raises std::bad_alloc.
PluginPanelItem* AllocPanelItems(int count);
// A NUL-terminated copy of text for an item's Description, Owner or custom column.
char* NewItemText(std::string_view text);
// Frees every item's Description, Owner and custom columns (texts and array), then the array.
void FreePanelItems(PluginPanelItem* items, int count);

}  // namespace kestrova

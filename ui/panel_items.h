// The module's panel-item arrays: allocated zero-filled by the manager that lists a level and
// given back by the panel's FreeFindData. Every text an item points to is its own allocation,
// but for the custom columns: their array and texts are one.
#pragma once

#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova {

// A zero-filled array of count items (none for a count of 0). Raises std::bad_alloc.
PluginPanelItem* AllocPanelItems(int count);
// A NUL-terminated copy of text for an item's Description or Owner.
char* NewItemText(std::string_view text);
// Custom column data: the array of count pointers and copies of the texts (NUL-terminated) in
// one allocation, freed as a whole. Raises std::bad_alloc.
char** NewColumnTexts(const std::string_view* texts, size_t count);
// Frees every item's Description, Owner and custom column data, then the array.
void FreePanelItems(PluginPanelItem* items, int count);

}  // namespace kestrova

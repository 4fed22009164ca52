// The module's panel-item arrays: allocated zero-filled by the manager that lists a level and
// given back by the panel's FreeFindData. In front of its first item, unseen by the panel, an
// array keeps the chain of text blocks its items' texts may be carved from (CarveItemText,
// CarveColumnTexts), so that a long listing costs a few blocks, not allocations per item. The
// texts of an array are either all carved from its blocks or each an allocation of its own
// (NewItemText, NewColumnTexts), never both.
#pragma once

#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova {

// A zero-filled array of count items (none for a count of 0). Raises std::bad_alloc.
PluginPanelItem* AllocPanelItems(int count);
// The array with room for count items (count > 0), moved when it must grow; items past the old
// room are not initialised. Null items makes a new array. Raises std::bad_alloc, leaving the
// array as it was.
PluginPanelItem* ResizePanelItems(PluginPanelItem* items, int count);
// A NUL-terminated copy of text for an item's Description or Owner.
char* NewItemText(std::string_view text);
// Custom column data: the array of count pointers and copies of the texts (NUL-terminated) in
// one allocation, freed as a whole. Raises std::bad_alloc.
char** NewColumnTexts(const std::string_view* texts, size_t count);
// The same two carved from the text blocks of items (not null), which free them with the array.
char* CarveItemText(PluginPanelItem* items, std::string_view text);
char** CarveColumnTexts(PluginPanelItem* items, const std::string_view* texts, size_t count);
// Frees the array's text blocks, or else every item's Description, Owner and custom column
// data; then the array.
void FreePanelItems(PluginPanelItem* items, int count);

}  // namespace kestrova

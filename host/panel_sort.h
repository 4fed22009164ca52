// The order a module asks its panel to start in (StartSortMode, StartSortOrder).
#pragma once

#include "host/panel_item_list.h"

namespace kestrova::host {

// Sorts items by name, size or write time (other modes and SM_DEFAULT, SM_UNSORTED keep the
// module's order); descending reverses it. A leading ".." stays first.
void SortPanelItems(PanelItemList& items, int sortMode, bool descending);

}  // namespace kestrova::host

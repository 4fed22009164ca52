// An array of panel items that owns every text its items point to, so it can be handed to the
// module (dir lists, panel info) and outlive the module's own arrays.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/plugin_api.h"

namespace kestrova::host {

class PanelItemList {
  public:
    PanelItemList() = default;
    PanelItemList(PanelItemList&&) = default;
    PanelItemList& operator=(PanelItemList&&) = default;
    PanelItemList(const PanelItemList&) = delete;
    PanelItemList& operator=(const PanelItemList&) = delete;

    // Appends a deep copy of item (description, owner, custom columns).
    PluginPanelItem& Add(const PluginPanelItem& item);
    // Appends an item with only find data, named name (cut to fit cFileName).
    PluginPanelItem& Add(const FAR_FIND_DATA& data, std::string_view name);

    size_t Size() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    PluginPanelItem* Data() { return items_.empty() ? nullptr : items_.data(); }
    PluginPanelItem& operator[](size_t i) { return items_[i]; }
    const PluginPanelItem& operator[](size_t i) const { return items_[i]; }
    void Clear();
    // Reorders items [first, Size()) by less, keeping equal items in their order.
    template <typename Less>
    void StableSort(size_t first, Less less) {
        if (first < items_.size()) std::stable_sort(items_.begin() + first, items_.end(), less);
    }

  private:
    char* Keep(const char* text);

    std::vector<PluginPanelItem> items_;
    std::deque<std::string> texts_;  // element addresses stay put as it grows
    std::deque<std::vector<char*>> columnArrays_;
};

std::string ItemName(const PluginPanelItem& item);
bool IsFolder(const PluginPanelItem& item);
uint64_t ItemSize(const PluginPanelItem& item);
void SetItemName(FAR_FIND_DATA& data, std::string_view name);

}  // namespace kestrova::host

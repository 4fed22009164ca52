#include "news/panel_item_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/visible_text.h"
#include "ui/panel_items.h"

namespace kestrova {

namespace {

constexpr int kFirstCapacity = 16;

}  // namespace

TPanelItemList::~TPanelItemList() {
    FreePanelItems(items_, count_);
}

void TPanelItemList::Grow(int capacity) {
    void* grown = std::realloc(items_, static_cast<size_t>(capacity) * sizeof(PluginPanelItem));
    if (grown == nullptr) throw std::bad_alloc();
    items_ = static_cast<PluginPanelItem*>(grown);
    capacity_ = capacity;
}

void TPanelItemList::Reserve(int count) {
    if (count > capacity_) Grow(count);
}

PluginPanelItem& TPanelItemList::Add(std::string_view name) {
    if (count_ == capacity_) Grow(capacity_ == 0 ? kFirstCapacity : capacity_ * 2);
    PluginPanelItem& item = items_[count_++];
    std::memset(&item, 0, sizeof item);
    const std::string shown = VisibleText(name);
    const size_t length = std::min(shown.size(), sizeof item.FindData.cFileName - 1);
    std::memcpy(item.FindData.cFileName, shown.data(), length);
    return item;
}

void TPanelItemList::SetColumns(PluginPanelItem& item, const std::vector<std::string>& columns) {
    auto** data = static_cast<char**>(std::calloc(columns.size(), sizeof(char*)));
    if (data == nullptr) throw std::bad_alloc();
    item.CustomColumnData = data;
    item.CustomColumnNumber = static_cast<int>(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) data[i] = NewItemText(VisibleText(columns[i]));
}

void TPanelItemList::Release(PluginPanelItem*& items, int& count) {
    items = count_ > 0 ? items_ : nullptr;
    count = count_;
    if (count_ == 0) std::free(items_);
    items_ = nullptr;
    count_ = capacity_ = 0;
}

}  // namespace kestrova

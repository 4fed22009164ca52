#include "news/panel_item_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "common/visible_text.h"
#include "platform/utf8.h"
#include "ui/panel_items.h"

namespace kestrova {

namespace {

constexpr int kFirstCapacity = 16;
constexpr size_t kMaxColumns = 10;  // the host's column types C0 ... C9

}  // namespace

std::string_view PanelItemName(std::string_view name) {
    if (name == ".") return " .";
    if (name == "..") return " ..";
    return name;
}

std::string_view NameOfPanelItem(std::string_view item) {
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    return item;
}

TPanelItemList::~TPanelItemList() {
    FreePanelItems(items_, count_);
}

void TPanelItemList::Grow(int capacity) {
    items_ = ResizePanelItems(items_, capacity);
    capacity_ = capacity;
}

void TPanelItemList::Reserve(int count) {
    if (count > capacity_) Grow(count);
}

PluginPanelItem& TPanelItemList::Add(std::string_view name) {
    if (count_ == capacity_) Grow(capacity_ == 0 ? kFirstCapacity : capacity_ * 2);
    PluginPanelItem& item = items_[count_++];
    std::memset(&item, 0, sizeof item);
    std::string scratch;
    name = VisibleView(name, scratch);
    const size_t length = platform::Utf8PrefixLength(name, sizeof item.FindData.cFileName - 1);
    std::memcpy(item.FindData.cFileName, name.data(), length);
    return item;
}

void TPanelItemList::SetDescription(PluginPanelItem& item, std::string_view text) {
    std::string scratch;
    item.Description = CarveItemText(items_, VisibleView(text, scratch));
}

void TPanelItemList::SetColumns(PluginPanelItem& item,
                                std::initializer_list<std::string_view> columns) {
    if (columns.size() > kMaxColumns) throw std::length_error("more custom columns than C0..C9");
    std::string_view shown[kMaxColumns];
    std::string scratch[kMaxColumns];
    size_t count = 0;
    for (const std::string_view text : columns) {
        shown[count] = VisibleView(text, scratch[count]);
        ++count;
    }
    item.CustomColumnData = CarveColumnTexts(items_, shown, count);
    item.CustomColumnNumber = static_cast<int>(count);
}

void TPanelItemList::Release(PluginPanelItem*& items, int& count) {
    items = count_ > 0 ? items_ : nullptr;
    count = count_;
    if (count_ == 0) FreePanelItems(items_, 0);
    items_ = nullptr;
    count_ = capacity_ = 0;
}

}  // namespace kestrova

#include "host/panel_item_list.h"

#include <algorithm>
#include <cstring>

namespace kestrova::host {

char* PanelItemList::Keep(const char* text) {
    if (!text) return nullptr;
    return texts_.emplace_back(text).data();
}

PluginPanelItem& PanelItemList::Add(const PluginPanelItem& item) {
    PluginPanelItem copy = item;
    copy.Description = Keep(item.Description);
    copy.Owner = Keep(item.Owner);
    copy.CustomColumnData = nullptr;
    if (item.CustomColumnData && item.CustomColumnNumber > 0) {
        std::vector<char*>& columns = columnArrays_.emplace_back();
        for (int i = 0; i < item.CustomColumnNumber; ++i)
            columns.push_back(Keep(item.CustomColumnData[i]));
        copy.CustomColumnData = columns.data();
    } else {
        copy.CustomColumnNumber = 0;
    }
    return items_.emplace_back(copy);
}

PluginPanelItem& PanelItemList::Add(const FAR_FIND_DATA& data, std::string_view name) {
    PluginPanelItem item{};
    item.FindData = data;
    SetItemName(item.FindData, name);
    return items_.emplace_back(item);
}

void PanelItemList::Clear() {
    items_.clear();
    texts_.clear();
    columnArrays_.clear();
}

std::string ItemName(const PluginPanelItem& item) {
    return std::string(item.FindData.cFileName, strnlen(item.FindData.cFileName, NM));
}

bool IsFolder(const PluginPanelItem& item) {
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

uint64_t ItemSize(const PluginPanelItem& item) {
    return (static_cast<uint64_t>(item.FindData.nFileSizeHigh) << 32) | item.FindData.nFileSizeLow;
}

void SetItemName(FAR_FIND_DATA& data, std::string_view name) {
    const size_t length = std::min(name.size(), static_cast<size_t>(NM - 1));
    std::memcpy(data.cFileName, name.data(), length);
    data.cFileName[length] = '\0';
}

}  // namespace kestrova::host

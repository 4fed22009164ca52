#include "ui/panel_items.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace kestrova {

PluginPanelItem* AllocPanelItems(int count) {
    if (count <= 0) return nullptr;
    void* block = std::calloc(static_cast<size_t>(count), sizeof(PluginPanelItem));
    if (!block) throw std::bad_alloc();
    return static_cast<PluginPanelItem*>(block);
}

char* NewItemText(std::string_view text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

char** NewColumnTexts(const std::string_view* texts, size_t count) {
    size_t bytes = count * sizeof(char*);
    for (size_t i = 0; i < count; ++i) bytes += texts[i].size() + 1;
    auto** data = static_cast<char**>(std::malloc(bytes));
    if (!data) throw std::bad_alloc();
    char* text = reinterpret_cast<char*>(data + count);
    for (size_t i = 0; i < count; ++i) {
        data[i] = text;
        std::memcpy(text, texts[i].data(), texts[i].size());
        text += texts[i].size();
        *text++ = '\0';
    }
    return data;
}

void FreePanelItems(PluginPanelItem* items, int count) {
    if (!items) return;
    for (int i = 0; i < count; ++i) {
        PluginPanelItem& item = items[i];
        std::free(item.Description);
        std::free(item.Owner);
        std::free(item.CustomColumnData);
    }
    std::free(items);
}

}  // namespace kestrova

// Panel items collected one by one while a level is listed, handed to the panel as one array
// (see ui/panel_items.h). Items not handed over are freed with the list, also on a failure.
#pragma once

#include <initializer_list>
#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova {

// The item name of a group or an article from a server's text: "." or ".." (a server may send
// any name or subject) gets a leading space, so that the panel takes it for neither its own
// folder nor its parent.
std::string_view PanelItemName(std::string_view name);
// The name an item stands for: PanelItemName and the thread view's indent undone (leading
// blanks dropped).
std::string_view NameOfPanelItem(std::string_view item);

class TPanelItemList {
  public:
    TPanelItemList() = default;
    ~TPanelItemList();
    TPanelItemList(const TPanelItemList&) = delete;
    TPanelItemList& operator=(const TPanelItemList&) = delete;

    // Makes room for count items in all, so that adding up to there moves nothing.
    void Reserve(int count);
    // A new zero-filled item at the end; name is made visible (common/visible_text.h) and cut to
    // the host's name length.
    PluginPanelItem& Add(std::string_view name);
    // Gives item (one of the list's) a copy of text, made visible, as its description.
    void SetDescription(PluginPanelItem& item, std::string_view text);
    // Gives item copies of columns, made visible, as its custom column data.
    void SetColumns(PluginPanelItem& item, std::initializer_list<std::string_view> columns);

    // Moves the items into a new array (none when empty) and empties the list.
    void Release(PluginPanelItem*& items, int& count);
    int Count() const { return count_; }

  private:
    void Grow(int capacity);

    // An array of ui/panel_items.h, whose text blocks hold every text of the items, so that
    // FreePanelItems releases what is left and adding an item allocates nothing.
    PluginPanelItem* items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

}  // namespace kestrova

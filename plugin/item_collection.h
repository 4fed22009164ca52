// The items a copy, move or delete works on: the host's selected items, followed by the whole
// contents of each selected folder as the host lists them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"

namespace kestrova {

class TNntpPlugin;

struct TFindItem {
    // cFileName is the path relative to the panel's folder: a plain name for a selected item,
    // "folder\item" (or "folder/file" from the file system) for one found inside a folder.
    FAR_FIND_DATA FindData{};

    std::string ColumnText;  // internet mode: the item's first custom column
    intptr_t Number = -1;    // internet mode: the item's UserData
    std::string MessageId;   // internet mode: the item's Description
    int ChildCount = -1;     // 0 once its folder has been looked into
};

inline bool IsFolder(const TFindItem& record) {
    return (record.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A record of item; ColumnText, Number and MessageId only for an item of a connected panel.
TFindItem MakeFindItem(const PluginPanelItem& item, bool fromPanel, bool internetMode);

// items, then the subtree of each selected folder (the panel's own through the host's
// GetPluginDirList, else the file system's through GetDirList; folders of a server are not
// looked into). False for no items. A folder the host refuses to list is a silent abort.
bool CollectItems(TNntpPlugin& panel, const PluginPanelItem* items, int count, bool fromPanel,
                  std::vector<TFindItem>& list);

}  // namespace kestrova

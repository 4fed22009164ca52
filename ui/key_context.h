// The record a panel key travels in: the panel hands it to the file system's key slot, the slot
// says what to redraw and which item to open, and names the action it leaves to the panel.
#pragma once

#include <memory>

#include "hostapi/plugin_api.h"
#include "ui/account_options.h"

namespace kestrova {

// The record one stored item is read into and written from; created by ReadItem, LoadFromFile
// or NewItem and released by FreeItem.
using TItemRecord = std::unique_ptr<TAccountOptions>;

// Key actions of ProcessKey; the panel carries out those the manager leaves to it.
inline constexpr int kActionNone = 0;
inline constexpr int kActionEditItem = 4;
inline constexpr int kActionNewItem = 5;
inline constexpr int kActionOpenItem = 6;
inline constexpr int kActionCopyItem = 8;
inline constexpr int kActionSwallow = 9;

// Result flags of a key: redraw the panel afterwards, update it (and the title) first.
inline constexpr unsigned kKeyRedrawPanel = 1;
inline constexpr unsigned kKeyUpdatePanel = 2;
// The panel's selection is set from the flags (PPIF_SELECTED) of Info.PanelItems first.
inline constexpr unsigned kKeySetSelection = 4;

// What the panel hands to the key slot: its panel information, where to put the cursor, what to
// do afterwards, and the record the slot leaves for the panel to open.
struct TKeyContext {
    PanelInfo Info{};
    PanelRedrawInfo Redraw{};
    unsigned Flags = 0;
    TItemRecord Item;
};

}  // namespace kestrova

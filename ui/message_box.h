// Message boxes shown by the host: plain boxes with buttons, a text list with one button, and
// the delete confirmation.
#pragma once

#include <string>
#include <vector>

#include "common/string_list.h"
#include "hostapi/plugin_api.h"

namespace kestrova {

// The host's message box on lines (the title first, then the body lines, then the texts of the
// last buttons lines), each made visible (common/visible_text.h) since a line may hold a
// server's text. Returns what the host returns; without buttons the box stays on screen.
int HostMessage(unsigned flags, const std::vector<std::string>& lines, int buttons);

// lines: the title first, then the body lines; buttons: message numbers of the button texts.
// Pending input is dropped first, so no key typed ahead answers the box.
// Returns the zero-based index of the chosen button, -1 for Esc. With no buttons the host
// returns at once and leaves the box on screen.
int ShowMessage(unsigned flags, const std::vector<std::string>& lines,
                const std::vector<int>& buttons);

// Shows the list (line 0 is the title) above a separator as long as its longest line, with the
// single button of message 1. An empty list shows nothing and returns 0.
int ShowTextList(const TStringList& list, unsigned flags);

// The warning before deleting count panel items: the item's name for one item, message 46 with
// the count otherwise. Returns 1 to go on, 2 to stop (second button or Esc).
int ConfirmDelete(const PluginPanelItem* items, int count);

}  // namespace kestrova

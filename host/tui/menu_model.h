// A menu while it is open, without a screen: the entries with their hot keys, the highlighted
// entry, and the keys. A hot key chooses its entry at once; a letter that is no hot key moves to
// the next entry starting with it.
#pragma once

#include <vector>

#include "host/front_end.h"
#include "host/tui/hot_key.h"
#include "host/tui/keystroke.h"

namespace kestrova::host::tui {

struct MenuEntry {
    MarkedText Label;
    bool Separator = false;
    bool Checked = false;
};

enum class MenuState { Open, Chosen, Cancelled };

class MenuModel {
  public:
    // Entries marked with '&' keep that hot key; with FMENU_AUTOHIGHLIGHT the others get the
    // first letter or digit of their text that no other entry uses (with
    // FMENU_REVERSEAUTOHIGHLIGHT the last entries choose first). pageRows: entries shown at once.
    MenuModel(const MenuRequest& menu, int pageRows);

    MenuState HandleKey(const Keystroke& key);
    int Selected() const { return selected_; }
    // The first entry shown in a window of pageRows entries that keeps Selected() visible.
    int Top() const { return top_; }
    const std::vector<MenuEntry>& Entries() const { return entries_; }
    void SetPageRows(int rows);

  private:
    void AssignHotKeys(unsigned flags);
    bool Choosable(int index) const;
    // The nearest choosable entry from index in direction step (index itself first); -1: none.
    int Nearest(int index, int step) const;
    void Select(int index);
    void Move(int step);

    std::vector<MenuEntry> entries_;
    bool wrap_;
    int selected_ = -1;
    int top_ = 0;
    int pageRows_;
};

}  // namespace kestrova::host::tui

// A module's dialog while it is open, without a screen: which item has the focus, what the keys
// do to the items, and which item closes the dialog. Texts of edit fields live in EditLines until
// the dialog closes; then they are written back into the items.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/tui/edit_line.h"
#include "host/tui/hot_key.h"
#include "host/tui/keystroke.h"
#include "hostapi/plugin_api.h"

namespace kestrova::host::tui {

enum class DialogState {
    Open,
    Closed,         // ClosingItem() closed it; the edited texts are in the items
    Cancelled,      // Esc; the items keep their texts
    HistoryWanted,  // Ctrl-Down in a field with a history list: show it, then SetFocusedText
};

class DialogModel {
  public:
    DialogModel(FarDialogItem* items, int count);

    DialogState HandleKey(const Keystroke& key);
    // A mouse click on an item: a field gets the focus, a button closes the dialog, a check or
    // radio box is set as Space sets it; other items take no click.
    DialogState Click(int item);
    int Focus() const { return focus_; }
    int ClosingItem() const { return closing_; }

    // The text an item shows, with its hot key.
    const MarkedText& Label(int item) const { return labels_[item]; }
    // The field state of an edit item, null for other items.
    EditLine* Edit(int item) { return edits_[item].get(); }
    // Replaces the focused field's text (a choice from its history list).
    void SetFocusedText(const std::string& text);

    const FarDialogItem& Item(int index) const { return items_[index]; }
    int Count() const { return count_; }

  private:
    bool Focusable(int index) const;
    // The next focusable item after from (step +1) or before it (step -1), wrapping.
    int Step(int from, int step) const;
    // The same, skipping items on from's row (Up and Down leave the row); an only row wraps
    // to its next item.
    int StepRow(int from, int step) const;
    void MoveFocus(int to);
    // The item whose hot key the keystroke is, or -1.
    int HotKeyItem(const Keystroke& key) const;
    DialogState Activate(int item);
    DialogState Close(int item);

    FarDialogItem* items_;
    int count_;
    std::vector<MarkedText> labels_;
    std::vector<std::unique_ptr<EditLine>> edits_;
    int focus_ = -1;
    int closing_ = -1;
    bool hasEditField_ = false;
};

}  // namespace kestrova::host::tui

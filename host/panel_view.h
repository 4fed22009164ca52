// What both kinds of panel share: the listed items, the cursor, the top item and the selection,
// and the PanelInfo record the module asks for.
#pragma once

#include <string>
#include <vector>

#include "host/panel_item_list.h"

namespace kestrova::host {

class PanelView {
  public:
    virtual ~PanelView() = default;

    // Lists the panel again; the cursor stays on the item of the same name (or at the same place)
    // and the items that were selected stay selected.
    void Reread();

    const PanelItemList& Items() const { return items_; }
    int Current() const { return current_; }
    int Top() const { return top_; }
    int ViewMode() const { return viewMode_; }
    // The rows of items a screen shows at once (the cursor keeps inside them, PgUp/PgDn move
    // by them); 18 unless a front end with a real screen says otherwise.
    int VisibleRows() const { return visibleRows_; }
    void SetVisibleRows(int rows);
    // The panel's place on the screen for PanelInfo (left, top, right, bottom); the default
    // puts the active panel left and the other right on an 80-column screen.
    void SetScreenRect(int left, int top, int right, int bottom);
    void SetViewMode(int mode) { viewMode_ = mode; }
    void SetCursor(int current, int top);
    void MoveCursor(int delta);

    // Index of the item named name, -1 when none.
    int Find(const std::string& name) const;
    // The index of the same item as item (its user data and name), the nearest to near when
    // there are several; -1 for none.
    int FindSame(const PluginPanelItem& item, int near) const;
    void SetSelected(int index, bool selected);
    // How many items are selected (kept as they change: a screen shows it on every redraw).
    int SelectedCount() const { return selectedCount_; }
    void SelectAll(bool selected);
    // Selects the items whose flags in the module's items (the panel's order, count of them)
    // hold PPIF_SELECTED and deselects the others; items may be the panel's own array.
    void SetSelection(const PluginPanelItem* items, int count);
    // The selected items, or the current item when none is selected and it is not "..".
    std::vector<PluginPanelItem> SelectedOrCurrent() const;
    // Applies the module's answer: items whose PPIF_SELECTED it cleared are deselected.
    void TakeSelectionBack(const std::vector<PluginPanelItem>& handed);

    // Fills info; its item pointers stay valid until the next Reread or FillPanelInfo.
    void FillPanelInfo(PanelInfo& info, bool active);

    virtual const std::string& Folder() const = 0;
    virtual bool IsModulePanel() const = 0;
    virtual std::string ColumnTypes() const { return "N,S,D,T"; }
    virtual std::string ColumnWidths() const { return "0,10,0,5"; }

  protected:
    // Fills items with the panel's content (".." first where the panel has one).
    virtual void List(PanelItemList& items) = 0;

  private:
    PanelItemList items_;
    std::vector<PluginPanelItem> selectedForInfo_;
    int current_ = 0;
    int top_ = 0;
    int viewMode_ = 2;
    int visibleRows_ = 18;
    int selectedCount_ = 0;
    int screenRect_[4] = {-1, -1, -1, -1};
};

bool IsDotDot(const PluginPanelItem& item);

}  // namespace kestrova::host

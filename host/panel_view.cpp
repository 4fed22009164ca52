#include "host/panel_view.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

namespace kestrova::host {

bool IsDotDot(const PluginPanelItem& item) {
    return ItemName(item) == "..";
}

namespace {

// Whether items of two listings are the same item: by the module's user data where it gives
// one (articles can share a subject), with the name; else by the name alone.
bool SameItem(const PluginPanelItem& a, const PluginPanelItem& b) {
    return a.UserData == b.UserData && ItemName(a) == ItemName(b);
}

}  // namespace

int PanelView::FindSame(const PluginPanelItem& item, int near) const {
    int found = -1;
    for (size_t i = 0; i < items_.Size(); ++i)
        if (SameItem(items_[i], item) &&
            (found < 0 || std::abs(static_cast<int>(i) - near) < std::abs(found - near)))
            found = static_cast<int>(i);
    return found;
}

void PanelView::Reread() {
    const bool hadCurrent = current_ < static_cast<int>(items_.Size());
    // A copy: its user data and name stay, its text pointers die with the listing.
    const PluginPanelItem current = hadCurrent ? items_[current_] : PluginPanelItem{};
    std::vector<std::pair<intptr_t, std::string>> selected;
    for (size_t i = 0; i < items_.Size(); ++i)
        if (items_[i].Flags & PPIF_SELECTED)
            selected.emplace_back(items_[i].UserData, ItemName(items_[i]));
    PanelItemList fresh;
    List(fresh);
    items_ = std::move(fresh);
    selectedCount_ = 0;
    for (size_t i = 0; i < items_.Size(); ++i) {
        items_[i].Flags &= ~PPIF_SELECTED;
        if (std::find(selected.begin(), selected.end(),
                      std::pair(items_[i].UserData, ItemName(items_[i]))) != selected.end()) {
            items_[i].Flags |= PPIF_SELECTED;
            ++selectedCount_;
        }
    }
    // The cursor stays on the same item (the nearest of its twins), else where it was.
    const int found = hadCurrent ? FindSame(current, current_) : -1;
    SetCursor(found >= 0 ? found : current_, top_);
}

void PanelView::SetCursor(int current, int top) {
    const int count = static_cast<int>(items_.Size());
    current_ = std::clamp(current, 0, std::max(count - 1, 0));
    top_ = std::clamp(top, 0, current_);
    if (current_ >= top_ + visibleRows_) top_ = current_ - visibleRows_ + 1;
}

void PanelView::SetVisibleRows(int rows) {
    visibleRows_ = std::max(rows, 1);
    SetCursor(current_, top_);
}

void PanelView::SetScreenRect(int left, int top, int right, int bottom) {
    screenRect_[0] = left;
    screenRect_[1] = top;
    screenRect_[2] = right;
    screenRect_[3] = bottom;
}

void PanelView::MoveCursor(int delta) {
    SetCursor(current_ + delta, top_);
}

int PanelView::Find(const std::string& name) const {
    for (size_t i = 0; i < items_.Size(); ++i)
        if (ItemName(items_[i]) == name) return static_cast<int>(i);
    return -1;
}

void PanelView::SetSelected(int index, bool selected) {
    if (index < 0 || index >= static_cast<int>(items_.Size()) || IsDotDot(items_[index])) return;
    if (selected != ((items_[index].Flags & PPIF_SELECTED) != 0))
        selectedCount_ += selected ? 1 : -1;
    if (selected)
        items_[index].Flags |= PPIF_SELECTED;
    else
        items_[index].Flags &= ~PPIF_SELECTED;
}

void PanelView::SetSelection(const PluginPanelItem* items, int count) {
    std::vector<bool> wanted(items_.Size(), false);
    for (size_t i = 0; i < wanted.size() && static_cast<int>(i) < count; ++i)
        wanted[i] = (items[i].Flags & PPIF_SELECTED) != 0;
    selectedCount_ = 0;
    for (size_t i = 0; i < wanted.size(); ++i) {
        items_[i].Flags &= ~PPIF_SELECTED;
        SetSelected(static_cast<int>(i), wanted[i]);
    }
}

void PanelView::SelectAll(bool selected) {
    for (size_t i = 0; i < items_.Size(); ++i) SetSelected(static_cast<int>(i), selected);
}

std::vector<PluginPanelItem> PanelView::SelectedOrCurrent() const {
    std::vector<PluginPanelItem> chosen;
    for (size_t i = 0; i < items_.Size(); ++i)
        if (items_[i].Flags & PPIF_SELECTED) chosen.push_back(items_[i]);
    if (chosen.empty() && current_ < static_cast<int>(items_.Size()) &&
        !IsDotDot(items_[current_])) {
        chosen.push_back(items_[current_]);
        chosen.back().Flags |= PPIF_SELECTED;
    }
    return chosen;
}

void PanelView::TakeSelectionBack(const std::vector<PluginPanelItem>& handed) {
    for (const PluginPanelItem& item : handed)
        if (!(item.Flags & PPIF_SELECTED)) SetSelected(FindSame(item, current_), false);
}

void PanelView::FillPanelInfo(PanelInfo& info, bool active) {
    selectedForInfo_ = SelectedOrCurrent();
    info = PanelInfo{};
    info.PanelType = PTYPE_FILEPANEL;
    info.Plugin = IsModulePanel() ? 1 : 0;
    if (screenRect_[0] >= 0) {
        std::copy(std::begin(screenRect_), std::end(screenRect_), std::begin(info.PanelRect));
    } else {
        const int left = active ? 0 : 40;
        info.PanelRect[0] = left;
        info.PanelRect[1] = 1;
        info.PanelRect[2] = left + 39;
        info.PanelRect[3] = 1 + visibleRows_ + 2;
    }
    info.PanelItems = items_.Data();
    info.ItemsNumber = static_cast<int>(items_.Size());
    info.SelectedItems = selectedForInfo_.empty() ? nullptr : selectedForInfo_.data();
    info.SelectedItemsNumber = static_cast<int>(selectedForInfo_.size());
    info.CurrentItem = current_;
    info.TopPanelItem = top_;
    info.Visible = 1;
    info.Focus = active ? 1 : 0;
    info.ViewMode = viewMode_;
    std::strncpy(info.ColumnTypes, ColumnTypes().c_str(), sizeof info.ColumnTypes - 1);
    std::strncpy(info.ColumnWidths, ColumnWidths().c_str(), sizeof info.ColumnWidths - 1);
    std::strncpy(info.CurDir, Folder().c_str(), sizeof info.CurDir - 1);
}

}  // namespace kestrova::host

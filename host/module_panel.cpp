#include "host/module_panel.h"

#include <algorithm>

#include "host/panel_sort.h"

namespace kestrova::host {
namespace {

std::string Text(const char* text) {
    return text ? text : "";
}

void CopyRow(char* const (&titles)[12], std::array<std::string, 12>& row) {
    for (size_t i = 0; i < row.size(); ++i) row[i] = Text(titles[i]);
}

}  // namespace

void ModulePanel::RefreshInfo() {
    OpenPluginInfo info{};
    info.StructSize = sizeof info;
    module_.GetOpenPluginInfo(handle_, info);
    title_ = Text(info.PanelTitle);
    folder_ = Text(info.CurDir);
    shortcutData_ = Text(info.ShortcutData);
    flags_ = info.Flags;
    keyBar_ = KeyBarLabels{};
    if (info.KeyBar) {
        CopyRow(info.KeyBar->Titles, keyBar_[0]);
        CopyRow(info.KeyBar->CtrlTitles, keyBar_[1]);
        CopyRow(info.KeyBar->AltTitles, keyBar_[2]);
        CopyRow(info.KeyBar->ShiftTitles, keyBar_[3]);
        CopyRow(info.KeyBar->CtrlShiftTitles, keyBar_[4]);
        CopyRow(info.KeyBar->AltShiftTitles, keyBar_[5]);
        CopyRow(info.KeyBar->CtrlAltTitles, keyBar_[6]);
    }
    infoLines_.clear();
    if (info.InfoLines && info.InfoLinesNumber > 0)
        infoLines_.assign(info.InfoLines, info.InfoLines + info.InfoLinesNumber);
    for (InfoPanelLine& line : infoLines_) {  // the module's arrays need not be terminated
        line.Text[sizeof line.Text - 1] = '\0';
        line.Data[sizeof line.Data - 1] = '\0';
    }
    startViewMode_ =
        info.StartPanelMode >= '0' && info.StartPanelMode <= '9' ? info.StartPanelMode - '0' : -1;
    startSortMode_ = info.StartSortMode;
    startSortDescending_ = info.StartSortOrder != 0;
    modes_.clear();
    for (int i = 0; info.PanelModesArray && i < info.PanelModesNumber; ++i) {
        const PanelMode& source = info.PanelModesArray[i];
        Mode mode{Text(source.ColumnTypes),
                  Text(source.ColumnWidths),
                  {},
                  Text(source.StatusColumnTypes),
                  Text(source.StatusColumnWidths)};
        // One title per column of ColumnTypes.
        const size_t columns =
            mode.Types.empty() ? 0 : 1 + std::count(mode.Types.begin(), mode.Types.end(), ',');
        for (size_t column = 0; source.ColumnTitles && column < columns; ++column)
            mode.Titles.push_back(Text(source.ColumnTitles[column]));
        modes_.push_back(std::move(mode));
    }
}

const ModulePanel::Mode* ModulePanel::CurrentMode() const {
    if (ViewMode() < 0 || ViewMode() >= static_cast<int>(modes_.size()) ||
        modes_[ViewMode()].Types.empty())
        return nullptr;
    return &modes_[ViewMode()];
}

std::string ModulePanel::ColumnTypes() const {
    const Mode* mode = CurrentMode();
    return mode ? mode->Types : PanelView::ColumnTypes();
}

std::string ModulePanel::ColumnWidths() const {
    const Mode* mode = CurrentMode();
    return mode ? mode->Widths : PanelView::ColumnWidths();
}

std::string ModulePanel::StatusColumnTypes() const {
    const Mode* mode = CurrentMode();
    return mode ? mode->StatusTypes : std::string();
}

std::string ModulePanel::StatusColumnWidths() const {
    const Mode* mode = CurrentMode();
    return mode ? mode->StatusWidths : std::string();
}

const std::vector<std::string>& ModulePanel::ColumnTitles() const {
    static const std::vector<std::string> none;
    const Mode* mode = CurrentMode();
    return mode ? mode->Titles : none;
}

void ModulePanel::List(PanelItemList& items) {
    RefreshInfo();
    PluginPanelItem* found = nullptr;
    int count = 0;
    module_.GetFindData(handle_, &found, &count, 0);
    if (flags_ & OPIF_ADDDOTS) {
        FAR_FIND_DATA dots{};
        dots.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        items.Add(dots, "..");
    }
    for (int i = 0; found && i < count; ++i) items.Add(found[i]);
    if (found) module_.FreeFindData(handle_, found, count);
    // The title may show what the listing found (counts, transient texts).
    RefreshInfo();
    SortPanelItems(items, startSortMode_, startSortDescending_);
}

}  // namespace kestrova::host

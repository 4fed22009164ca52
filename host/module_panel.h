// The module's panel: what GetOpenPluginInfo says it is (title, folder, flags, modes, key bar)
// and what GetFindData says it holds, copied at once because the module's texts change.
#pragma once

#include <array>
#include <string>

#include "host/module_calls.h"
#include "host/panel_view.h"

namespace kestrova::host {

// The key bar rows in the order of KeyBarTitles: plain, Ctrl, Alt, Shift, Ctrl+Shift,
// Alt+Shift, Ctrl+Alt; an empty label leaves the host's own.
using KeyBarLabels = std::array<std::array<std::string, 12>, 7>;

class ModulePanel : public PanelView {
  public:
    ModulePanel(ModuleCalls& module, HANDLE handle) : module_(module), handle_(handle) {}

    HANDLE Handle() const { return handle_; }
    // Asks GetOpenPluginInfo again (the host does on every redraw).
    void RefreshInfo();

    const std::string& Title() const { return title_; }
    const std::string& Folder() const override { return folder_; }
    const std::string& ShortcutData() const { return shortcutData_; }
    uint32_t Flags() const { return flags_; }
    const KeyBarLabels& KeyBar() const { return keyBar_; }
    bool IsModulePanel() const override { return true; }
    std::string ColumnTypes() const override;
    std::string ColumnWidths() const override;
    // The column titles of the current view mode, empty when the module sets none.
    const std::vector<std::string>& ColumnTitles() const;
    // The status line's columns of the current view mode (empty: the name).
    std::string StatusColumnTypes() const;
    std::string StatusColumnWidths() const;
    // The info panel's lines (Text, Data, Separator), copied.
    const std::vector<InfoPanelLine>& InfoLines() const { return infoLines_; }
    // The view mode the module starts with (StartPanelMode '0'..'9'), -1 for none.
    int StartViewMode() const { return startViewMode_; }

  private:
    struct Mode {
        std::string Types;
        std::string Widths;
        std::vector<std::string> Titles;
        std::string StatusTypes;
        std::string StatusWidths;
    };

    void List(PanelItemList& items) override;
    const Mode* CurrentMode() const;

    ModuleCalls& module_;
    HANDLE handle_;
    std::string title_;
    std::string folder_;
    std::string shortcutData_;
    uint32_t flags_ = 0;
    KeyBarLabels keyBar_;
    std::vector<Mode> modes_;
    std::vector<InfoPanelLine> infoLines_;
    int startViewMode_ = -1;
    int startSortMode_ = SM_DEFAULT;
    bool startSortDescending_ = false;
};

}  // namespace kestrova::host

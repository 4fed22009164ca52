// Draws the main screen's parts from their layouts (host/tui/panel_layout.h, key_bar.h): a
// panel with its title, column titles, items and status line; the info panel; the command
// line; the key bar.
#pragma once

#include <string>
#include <vector>

#include "host/module_panel.h"
#include "host/panel_view.h"
#include "host/tui/key_bar.h"
#include "host/tui/panel_layout.h"

namespace kestrova::host::tui {

// What a panel shows on top of its items.
struct PanelLook {
    std::string Title;  // OEM
    bool Active = false;
    std::vector<std::string> ColumnTitles;
    std::string StatusTypes;  // empty: name, size, date, time
    std::string StatusWidths;
};

// The look of a panel: the module's title, modes and status columns, or the local folder.
PanelLook LookOf(const PanelView& panel, bool active);

// Draws panel into frame; also tells the panel how many rows it shows.
void PaintPanel(PanelView& panel, const PanelLook& look, const Rect& frame);
// Only the top edge of panel's frame with its title (a title that changes while the module
// lists, the rest of the screen left as it is).
void PaintPanelTitle(const PanelView& panel, const PanelLook& look, const Rect& frame);
// The info panel in frame: title, then the module's lines (separators as lines).
void PaintInfoPanel(const std::string& title, const std::vector<InfoPanelLine>& lines,
                    const Rect& frame);
// The command line: the prompt, then the typed text; the cursor stands after it.
void PaintCommandLine(int y, const std::string& prompt, const std::string& text);
void PaintKeyBar(int y, const std::array<std::string, 12>& labels);

}  // namespace kestrova::host::tui

// Where everything of the main screen goes, computed into plain records (no terminal needed):
// the two panels, the command line and the key bar; a panel's columns from a view mode's column
// types and widths; and the text of an item in a column.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/tui/canvas.h"
#include "hostapi/plugin_api.h"

namespace kestrova::host::tui {

struct ScreenLayout {
    Rect Left;  // each panel's frame
    Rect Right;
    int CommandLineY = 0;
    int KeyBarY = 0;
};

// Two panels side by side over the command line and the key bar.
ScreenLayout LayoutScreen(int width, int height);

// The rows inside a panel's frame: column titles, items, the status line below a separator.
struct PanelRows {
    int TitlesY = 0;
    int FirstItemY = 0;
    int ItemRows = 0;
    int SeparatorY = 0;
    int StatusY = 0;
};
PanelRows LayoutPanelRows(const Rect& frame);

struct Column {
    char Type = 'N';       // N name, S size, D date, T time, Z description, C custom
    int CustomIndex = -1;  // the n of Cn
    int X = 0;             // from the panel's inner left edge
    int Width = 0;
    std::string Title;
};

// The columns of a mode ("N,S,D" with widths "0,8,0" ...) across innerWidth cells, one cell
// between neighbours for a separator. A date or time column of width 0 takes 8 or 5 cells;
// any other width of 0 (or none) shares what fixed and percent ("30%") widths leave; columns that
// no longer fit are dropped from the right. Unknown types are skipped.
std::vector<Column> LayoutColumns(std::string_view types, std::string_view widths,
                                  const std::vector<std::string>& titles, int innerWidth);

// The text of item in column, exactly column.Width cells of OEM text: a name cut with '}',
// sizes right-aligned ("Folder" or "Up" for folders and ".."), dates dd.mm.yy and times hh:mm
// in local time, descriptions and custom columns left-aligned.
std::string CellText(const PluginPanelItem& item, const Column& column);

// Text fitted to width cells: cut, or padded on the right (alignRight: on the left).
std::string Fit(std::string_view text, int width, bool alignRight = false);

}  // namespace kestrova::host::tui

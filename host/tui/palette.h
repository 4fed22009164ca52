// The screen's colours as named roles: blue panels with cyan text, yellow selected items, a
// cyan cursor bar; grey dialogs and menus; red warnings. The same roles stay readable on 8 or
// 16 colours and without colour (NO_COLOR set, or a terminal such as vt100): then they differ
// by bold, reverse and underline.
#pragma once

#include <cstdint>

namespace kestrova::host::tui {

enum class Role : uint8_t {
    Screen,               // the background beneath everything
    PanelText,            // items of a panel
    PanelFrame,           // frame and column separators
    PanelTitle,           // the title of the inactive panel, column titles
    PanelTitleActive,     // the title of the active panel
    PanelFolder,          // folders among the items
    PanelUnread,          // items new to the user (PPIF_UNREAD): unread articles and groups
    PanelSelected,        // selected items
    PanelCursor,          // the cursor bar
    PanelCursorSelected,  // the cursor bar on a selected item
    PanelStatus,          // the status line and the info panel's texts
    CommandLine,          // the prompt and the typed command
    KeyBarNumber,         // the key numbers of the key bar
    KeyBarLabel,          // the labels of the key bar
    Dialog,               // dialog and menu text and frame
    DialogHotKey,         // an &-marked hot key letter
    DialogFocus,          // the focused item, the highlighted menu entry
    DialogEdit,           // an edit field
    DialogDisabled,       // a disabled item, a separator's text
    Warning,              // warning box text and frame
    WarningFocus,         // the focused button of a warning box
    Viewer,               // the built-in viewer's text
    ViewerStatus,         // the viewer's title line
    Count
};

// How many colours the terminal shows.
enum class ColourDepth : uint8_t { None, Eight, Sixteen };

// The colours of a role: curses colour numbers 0-7 (COLOR_BLACK ... COLOR_WHITE), plus 8 for
// the bright half on 16 colours; attributes add emphasis where colour cannot.
struct RoleStyle {
    int16_t Foreground = 7;
    int16_t Background = 0;
    bool Bold = false;
    bool Reverse = false;
    bool Underline = false;
    bool operator==(const RoleStyle&) const = default;
};

// The style of a role at a colour depth (no terminal needed).
RoleStyle StyleOf(Role role, ColourDepth depth);

// The depth of the running terminal: None under NO_COLOR or without colours, Sixteen with at
// least 16, else Eight. Needs a running Terminal.
ColourDepth TerminalDepth();

// Defines the colour pairs for the terminal's depth; Terminal calls it at start.
void InitPalette();

// The curses attributes (colour pair and emphasis) that draw a role; for canvas.h.
unsigned long RoleAttributes(Role role);

}  // namespace kestrova::host::tui

// Drawing dialogs and menus from their models with the canvas: a grey box (red for warnings)
// with a shadow, the frame and its title, the items at their places, the focus and hot keys.
#pragma once

#include <string>

#include "host/tui/canvas.h"
#include "host/tui/dialog_layout.h"
#include "host/tui/menu_model.h"

namespace kestrova::host::tui {

// The box of a dialog of width x height cells centred on the screen.
Rect CentredBox(int width, int height);

// Draws the dialog in area; the text cursor goes to the focused edit field, else it is hidden.
void DrawDialog(DialogModel& dialog, const Rect& area, bool warning);

// The box a menu needs: entries as wide as the widest text, at most the screen; centred, or
// with its top-left corner at (x, y) when x is not negative.
Rect MenuBox(const MenuModel& menu, const std::string& title, const std::string& bottom, int x,
             int y);
// The entry rows a menu box shows.
int MenuRows(const Rect& box);
void DrawMenu(const MenuModel& menu, const std::string& title, const std::string& bottom,
              const Rect& box);

}  // namespace kestrova::host::tui

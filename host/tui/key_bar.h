// The key bar at the bottom of the screen: twelve labels for F1-F12 in the row of the held
// modifiers, the module's labels over the host's, fitted into the screen's width.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/module_panel.h"

namespace kestrova::host::tui {

// The rows in the order of KeyBarLabels: plain, Ctrl, Alt, Shift, Ctrl+Shift, Alt+Shift,
// Ctrl+Alt.
enum class KeyBarRow { Plain, Ctrl, Alt, Shift, CtrlShift, AltShift, CtrlAlt };

// The row that PKF_* control states choose.
KeyBarRow RowOf(unsigned controlState);

// The labels of a row: the module's where it gives one (module may be null), else the host's.
std::array<std::string, 12> KeyBarLabelsOf(KeyBarRow row, const KeyBarLabels* module);

// The viewer's labels: help, quit, search, and F8 naming the character set it switches to.
std::array<std::string, 12> ViewerKeyBarLabels(const std::string& f8Set);

struct KeyBarSlot {
    int X = 0;            // where the key's number starts
    int NumberWidth = 0;  // "1" .. "12"
    int LabelWidth = 0;   // the label's cells after the number
};

// Twelve slots across width cells (fewer when the screen is too narrow for a label each).
std::vector<KeyBarSlot> LayoutKeyBar(int width);

}  // namespace kestrova::host::tui

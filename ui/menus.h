// Menus shown by the host: centred, as high as needed, hot keys highlighted by the host.
#pragma once

#include <string>
#include <vector>

#include "common/string_list.h"

namespace kestrova {

// One entry per text, made visible (common/visible_text.h: an entry may be a server's group
// name); a null text is a separator line. Entry selected is highlighted when it is
// a valid index no greater than 255, otherwise entry 0. Texts longer than a menu item holds are
// cut. Returns the chosen index, -1 for Esc (also for an empty menu, which is not shown).
int RunMenu(const std::string& title, const std::vector<const char*>& texts, int selected);

// The same over a list; an entry that is exactly "-" is a separator line.
int RunListMenu(const std::string& title, const TStringList& list, int selected);

}  // namespace kestrova

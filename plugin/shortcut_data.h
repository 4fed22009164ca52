// Reading the shortcut data that the managers hand to the host: a three-digit head length, the
// head, then the tail. A head beginning with "1" describes an account (two digits AskPassword
// and UseProxy, four length-prefixed author fields, then the character table's name) whose URL
// is the tail; any other head marks a registry folder, the tail.
#pragma once

#include <string>

#include "ui/account_options.h"

namespace kestrova {

struct TShortcut {
    bool Internet = false;
    // Internet: the URL, AskPassword, UseProxy and the author fields; the rest zero.
    TAccountOptions Account;
    std::string CharTableName;
    std::string Tail;
};

// False for data shorter than three characters. Lengths are decimal with leading zeros or
// spaces; one that does not convert counts as 0, and one longer than what follows takes the
// rest.
bool ParseShortcut(const std::string& data, TShortcut& shortcut);

}  // namespace kestrova

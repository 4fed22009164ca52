// Reading the shortcut data that the managers hand to the host: a three-digit head length, the
// head, then the tail. A head beginning with "1", or "2" for an account that asks for STARTTLS,
// describes an account (two digits AskPassword and UseProxy, four length-prefixed author fields,
// then the character table's name) whose URL is the tail; any other head marks a registry folder,
// the tail (so a build that predates STARTTLS never opens such an account without it).
#pragma once

#include <string>

#include "ui/account_options.h"

namespace kestrova {

struct TShortcut {
    bool Internet = false;
    // Internet: the URL, AskPassword, UseProxy, STARTTLS (Secure) and the author fields; the rest
    // zero.
    TAccountOptions Account;
    std::string CharTableName;
    std::string Tail;
};

// False for data shorter than three characters. Lengths are decimal with leading zeros or
// spaces; one that does not convert counts as 0, and one longer than what follows takes the
// rest.
bool ParseShortcut(const std::string& data, TShortcut& shortcut);

}  // namespace kestrova

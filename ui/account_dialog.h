// The account dialog: edits one news account of the registry-mode panel.
#pragma once

#include "ui/account_options.h"

namespace kestrova {

// Answers of EditAccount: the message numbers of the buttons.
inline constexpr int kAccountSave = 12;
inline constexpr int kAccountConnect = 15;
inline constexpr int kAccountCancel = 2;

// Shows account; on "save" or "connect" it receives every field (the URL parsed with the scheme
// optional, the password only when the field is not empty). Any other answer leaves it as it
// was. The default button is "connect" when the option "Connect as default" is set.
int EditAccount(TAccountOptions& account);

}  // namespace kestrova

// The author's e-mail address that every composed post carries in From: asked for when the
// account has none, so that no post goes out with an empty address.
#pragma once

#include <string_view>

#include "ui/account_options.h"

namespace kestrova {

// "local@domain" of printable ASCII, without blanks and without the characters that would need
// quoting in a header ("<>()[]\,;:" and the double quote).
bool IsPlausibleAddress(std::string_view address);

// When account.FromAddr is not plausible, asks for the address until a plausible one is
// entered, offering to keep it in the default account (saved at once). The address goes into
// account. False when the user cancels.
bool EnsureSenderAddress(TAccountOptions& account);

}  // namespace kestrova

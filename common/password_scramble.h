// The stored form of a password: Base64 of the password's bytes XORed with a running 16-bit key
// that advances with every scrambled byte. Not encryption; it keeps passwords out of plain sight.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// An empty password gives the empty text. Passwords of any length come back unchanged.
std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view stored);

}  // namespace kestrova

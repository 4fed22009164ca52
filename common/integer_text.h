// Integers stored as text: decimal, or hexadecimal after "$", or after "0x"/"0X" when the text is
// longer than two characters. Text that does not convert yields the default.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

int TextToIntDef(std::string_view text, int defaultValue);
std::string IntToText(int value);

}  // namespace kestrova

// The columns text takes on a terminal: combining marks and format characters none, East Asian
// wide and full-width characters two, every other character one (a control character too: the
// screen shows it as one mark). Text is UTF-8; an ill-formed sequence counts as one U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova::platform {

int CharacterWidth(char32_t c);
int TextWidth(std::string_view utf8);

// The length in bytes of the longest start of utf8 that takes at most columns (a wide character
// that would cross the edge stays out; marks that combine with the last character stay in).
size_t PrefixForWidth(std::string_view utf8, int columns);
// The offset in bytes of the shortest end of utf8 that takes at most columns.
size_t SuffixForWidth(std::string_view utf8, int columns);

// utf8 cut to columns and padded with spaces to exactly columns.
std::string FitToWidth(std::string_view utf8, int columns);

}  // namespace kestrova::platform

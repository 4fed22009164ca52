// The lines of a viewed file in a character set (an article's own).
#pragma once

#include <string>
#include <string_view>

namespace kestrova::host {

// One line of a viewed file as UTF-8: a line of well-formed UTF-8 (plain ASCII too) stays as it
// is, any other line is read in charset; what no set explains becomes U+FFFD.
std::string ViewedLineAsUtf8(std::string_view line, const std::string& charset);

}  // namespace kestrova::host

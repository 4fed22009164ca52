// Profile (ini) files: sections in brackets, "ident=value" lines. Sections and idents compare
// without regard to case; values are trimmed of blanks and of one pair of enclosing quotes.
// Reading accepts CR LF or LF line ends; writing keeps every other line as it was, byte for byte,
// and ends new lines with CR LF. A file is rewritten through a temporary file and a rename, so a
// failed write leaves the old file whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrova::platform {

// The value of ident in the first section named section, from the text of a profile file.
std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view ident);
// The text with ident of section set to value (the section appended when missing); none when a
// line break, or a name that cannot head a line ("=" in the ident, "]" in the section ...), would
// make the file read back differently. Values with blanks at their ends are written in quotes.
std::optional<std::string> SetProfileValue(std::string_view content, std::string_view section,
                                           std::string_view ident, std::string_view value);

// The same on a file named by an OEM path. A missing file reads as empty.
std::optional<std::string> ReadProfileString(const std::string& fileName, std::string_view section,
                                             std::string_view ident);
bool WriteProfileString(const std::string& fileName, std::string_view section,
                        std::string_view ident, std::string_view value);

}  // namespace kestrova::platform

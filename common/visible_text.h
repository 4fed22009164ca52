// Text from outside (a server's lines, article headers, group names) made harmless to show or
// log: whatever it holds, it can neither start a line of its own nor send the terminal a control
// sequence (cursor moves, colours, the window title).
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// The OEM text with CR, LF and TAB as spaces and every other control character in caret
// notation: C0 as "^@" ... "^_" (ESC is "^["), DEL as "^?", and a C1 control (U+0080 ... U+009F:
// its two bytes in UTF-8, the byte that a single-byte OEM code page maps to it) as "M-" before
// the caret form of its low bits (CSI is "M-^["). A text without control characters comes back
// unchanged.
std::string VisibleText(std::string_view oemText);
// oemText itself when it holds no control character, else VisibleText(oemText) kept in scratch:
// a text shown as it is costs no copy.
std::string_view VisibleView(std::string_view oemText, std::string& scratch);

}  // namespace kestrova

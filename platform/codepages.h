// The console's OEM code page and the ANSI code page (CP866 and CP1251 by default; the
// environment variables KESTROVA_OEMCP and KESTROVA_ANSICP choose others, e.g. 437 and 1252).
// Module text is OEM bytes; conversion happens only at the edges.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

int OemCodePage();
int AnsiCodePage();

// A character with no equivalent in the target becomes '?'.
std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);
std::string OemToUtf8(std::string_view text);
std::string Utf8ToOem(std::string_view text);
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Any supported single-byte code page (866, 437, 850, 1251, 1252, 20866 KOI8-R, 28595 ISO 8859-5):
// the Unicode code point of each byte, 0xFFFD where the page has none. False when unsupported.
bool CodePageTable(int codePage, char32_t (&table)[256]);

}  // namespace kestrova::platform

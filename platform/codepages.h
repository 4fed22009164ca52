// The console's OEM code page and the ANSI code page (CP866 and CP1251 by default; the
// environment variables KESTROVA_OEMCP and KESTROVA_ANSICP choose others, e.g. 437 and 1252; a
// value naming no supported page leaves the default). Module text is OEM bytes; conversion
// happens only at the edges.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

int OemCodePage();
int AnsiCodePage();

// A character with no equivalent in the target becomes '?', and so does each ill-formed
// sequence of UTF-8 input (a truncated sequence, an overlong form, a surrogate, a stray byte).
std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);
std::string OemToUtf8(std::string_view text);
std::string Utf8ToOem(std::string_view text);

// Any supported single-byte code page (866, 437, 850, 1251, 1252, 20866 KOI8-R, 28595 ISO 8859-5):
// the Unicode code point of each byte, 0xFFFD where the page has none. False when unsupported.
bool CodePageTable(int codePage, char32_t (&table)[256]);

// The same conversions between any two supported code pages, and between one and UTF-8 (same
// replacement rules). Throw std::invalid_argument for an unsupported code page.
std::string ConvertCodePage(std::string_view text, int fromCodePage, int toCodePage);
std::string CodePageToUtf8(std::string_view text, int codePage);
std::string Utf8ToCodePage(std::string_view text, int codePage);

}  // namespace kestrova::platform

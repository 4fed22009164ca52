// The console's OEM code page and the ANSI code page: UTF-8 (65001) both, the text model of the
// module and the host. The environment variables KESTROVA_OEMCP and KESTROVA_ANSICP may choose
// one of the single-byte pages that earlier versions used instead (866, 437, 850, 1251, 1252,
// 20866 KOI8-R, 28595 ISO 8859-5); a value naming no supported page leaves UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

inline constexpr int kUtf8CodePage = 65001;

int OemCodePage();
// The name iconv knows a code page by ("UTF-8", "KOI8-R", "ISO-8859-5", "CP1251" ...).
std::string CodePageCharset(int codePage);
int AnsiCodePage();

// A character with no equivalent in a single-byte target becomes '?', and so does each
// ill-formed sequence of UTF-8 input (a truncated sequence, an overlong form, a surrogate, a
// stray byte); with UTF-8 on both sides text is kept, each ill-formed sequence made U+FFFD.
std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);
std::string OemToUtf8(std::string_view text);
std::string Utf8ToOem(std::string_view text);

// Any supported single-byte code page (866, 437, 850, 1251, 1252, 20866 KOI8-R, 28595 ISO 8859-5):
// the Unicode code point of each byte, 0xFFFD where the page has none. False when unsupported
// (UTF-8 too: it has no table of bytes).
bool CodePageTable(int codePage, char32_t (&table)[256]);

// The same conversions between any two supported code pages (65001 among them), and between one
// and UTF-8 (same replacement rules). Throw std::invalid_argument for an unsupported code page.
std::string ConvertCodePage(std::string_view text, int fromCodePage, int toCodePage);
std::string CodePageToUtf8(std::string_view text, int codePage);
std::string Utf8ToCodePage(std::string_view text, int codePage);

}  // namespace kestrova::platform

// Header texts with encoded words ("=?charset?B?...?=", "=?charset?Q?...?="): read from any
// charset iconv knows, written in the sending charset.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// value as OEM text: each encoded word decoded from its own charset (blanks between two adjacent
// words dropped), the text around them by DecodeText(fallbackCode, ...). A word that does not
// decode (an unknown charset, a broken form) stays as it is.
std::string DecodeHeaderText(std::string_view value, int fallbackCode);
// The same with the charset (a MIME name) for the text around the words.
std::string DecodeHeaderText(std::string_view value, const std::string& fallbackCharset);

// OEM text as a header value in charset: plain ASCII stays as it is (Base64 off); otherwise
// Base64 encoded words of at most 60 characters, each holding whole characters, separated by a
// folding line break (CRLF and a blank), so no line passes 78 characters. False, with missing the
// first character charset cannot hold (or the first character, when iconv does not know
// charset), when it cannot.
bool EncodeHeaderText(std::string_view oemText, const std::string& charset, bool base64,
                      std::string& out, char32_t& missing);

}  // namespace kestrova

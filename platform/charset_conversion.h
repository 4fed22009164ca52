// Conversions between UTF-8 and the character sets of the C library's iconv (every MIME charset
// name it knows: ISO-8859-x, windows-125x, KOI8-R/U, GB18030, Big5, Shift_JIS, EUC-KR ...). The
// one place that converts text between character sets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrova::platform {

// True when iconv knows charset (names compare without case, as iconv compares them).
bool IsKnownCharset(std::string_view charset);

// bytes in charset as UTF-8; each byte sequence charset does not define becomes U+FFFD. Nullopt
// when iconv does not know charset.
std::optional<std::string> ToUtf8(std::string_view bytes, std::string_view charset);

// The outcome of encoding UTF-8 text in a character set.
struct EncodedText {
    std::string Bytes;         // the text in the charset, complete only when Missing is 0
    char32_t Missing = 0;      // the first character the charset cannot hold, or 0
    bool KnownCharset = true;  // false: iconv does not know the charset, Bytes is empty
};

// utf8 in charset. Nothing is replaced: a character the charset cannot hold stops the conversion
// and is named in Missing. Ill-formed UTF-8 counts as U+FFFD.
EncodedText FromUtf8(std::string_view utf8, std::string_view charset);

}  // namespace kestrova::platform

// An article made readable for the viewer; the bytes saved by a copy stay the server's.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

struct TReadableArticle {
    std::string Text;
    std::string Charset;  // the set the body is in, for the viewer; empty: all OEM text
};

// text (a whole article, or its header) as the viewer shows it, only the body when bodyOnly. A
// header's lines come as OEM text, folded lines joined and encoded words decoded (raw 8-bit by
// the declared charset, else by fallbackCode's). A body loses its transfer encoding
// (quoted-printable, Base64) and keeps the charset its Content-Type declares, which the viewer
// reads it in; a body without a charset that iconv knows is converted like
// DecodeText(fallbackCode). A multipart body stays as it is.
TReadableArticle ReadableArticle(std::string_view text, int fallbackCode, bool bodyOnly);

}  // namespace kestrova

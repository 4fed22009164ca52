// Decoding of quoted-printable text: "=" and two hexadecimal digits stand for one byte.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// Replaces every "=XX" (hexadecimal, either letter case) by its byte and removes soft line breaks
// ("=" followed by CR LF or LF). An "=" with two characters that are not hexadecimal is copied
// unchanged with them; an "=" met before a sequence is complete copies the pending characters and
// starts a new sequence; a sequence still incomplete at the end of the text is dropped.
std::string DecodeQuotedPrintable(std::string_view text);

// The same for the text of a "Q" encoded word of a header, where "_" stands for a blank.
std::string DecodeQEncodedText(std::string_view text);

}  // namespace kestrova

// Base64 with the standard alphabet and "=" padding, without line breaks.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// Every three bytes become four characters; the text is padded with "=" to a multiple of four.
std::string Base64Encode(std::string_view bytes);

// Joins the 6-bit values of the alphabet's characters, most significant first, into bytes; bits
// left over at the end are dropped. Every character outside the alphabet (padding, line breaks,
// blanks, other junk) is skipped, so no input can make it fail.
std::string Base64Decode(std::string_view text);

}  // namespace kestrova

// The author's signature: a file named in the options, put after a "-- " line at the end of new
// articles and replies.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// fileName with a leading "~/" made the user's home folder; empty when HOME is not set.
std::string WithHomeFolder(const std::string& fileName);

// Read no more of a signature file than this.
inline constexpr size_t kSignatureLimit = 4096;

// The text of the signature file (a leading "~/" is the user's home folder); empty when the
// name is empty or the file cannot be read. At most kSignatureLimit bytes are read; a "-- "
// line the file starts with is left out, as the separator is written anyway.
std::string ReadSignature(const std::string& fileName);

// text followed by "-- " and signature, each on lines of their own; text unchanged when
// signature is empty or text already holds a "-- " line (the template wrote its own).
std::string WithSignature(std::string text, std::string_view signature);

}  // namespace kestrova

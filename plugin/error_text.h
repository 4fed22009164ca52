// The body lines of an error box.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

// Shown for an error without a message.
inline constexpr const char* kEmptyErrorText = "Unknow error occured. (Empty error message)";

// The message split at its first ". " into two lines, the first keeping the full stop; one line
// when there is none. An empty first line becomes kEmptyErrorText.
std::vector<std::string> ErrorLines(const std::string& message);

}  // namespace kestrova

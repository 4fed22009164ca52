// The error box: its body lines, and the box itself.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace kestrova {

// Shown for an error without a message.
inline constexpr const char* kEmptyErrorText = "Unknow error occured. (Empty error message)";

// The message split at its first ". " into two lines, the first keeping the full stop; one line
// when there is none. An empty first line becomes kEmptyErrorText.
std::vector<std::string> ErrorLines(const std::string& message);

// The warning box of a failure outside a panel (a silent abort shows nothing): the title names
// its class and its own procedure, or procName for a failure without one. Never raises.
void ShowFailure(std::exception_ptr failure, const char* procName);

}  // namespace kestrova

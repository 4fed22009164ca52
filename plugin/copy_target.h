// The destination of a copy after the user's answer to the target question.
#pragma once

#include <string>

namespace kestrova {

// Asks the copy (or move) target question with offered, a folder ending with delim. False when
// the user cancels or answers nothing. A different answer counts from offered when relative and
// replaces it when absolute; unless it ends with delim its last component names a file or mask.
bool AskCopyTarget(bool move, std::string& offered, char delim);
// The same with the question of copying articles out of a connected panel.
bool AskArticleTarget(std::string& offered, char delim);

}  // namespace kestrova

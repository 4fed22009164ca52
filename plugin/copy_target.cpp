#include "plugin/copy_target.h"

#include "common/path_utils.h"
#include "common/text_utils.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

namespace {

// Applies answer, the result of dialog, to offered.
bool TakeAnswer(int dialog, const std::string& answer, std::string& offered, char delim) {
    if (dialog != kAccepted || answer.empty()) return false;
    if (CompareTextOem(answer, offered) == 0) return true;
    offered = CombinePath(offered, answer, delim);
    if (answer.back() != delim && !offered.empty()) offered.pop_back();
    return true;
}

}  // namespace

bool AskCopyTarget(bool move, std::string& offered, char delim) {
    std::string answer = offered;
    const int dialog = CopyDialog(move, answer);
    return TakeAnswer(dialog, answer, offered, delim);
}

bool AskArticleTarget(std::string& offered, char delim) {
    std::string answer = offered;
    const int dialog = ArticleCopyDialog(answer);
    return TakeAnswer(dialog, answer, offered, delim);
}

}  // namespace kestrova

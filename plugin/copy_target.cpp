#include "plugin/copy_target.h"

#include "common/path_utils.h"
#include "common/text_utils.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

bool AskCopyTarget(bool move, std::string& offered, char delim) {
    std::string answer = offered;
    if (CopyDialog(move, answer) != kAccepted || answer.empty()) return false;
    if (CompareTextOem(answer, offered) == 0) return true;
    offered = CombinePath(offered, answer, delim);
    if (answer.back() != delim && !offered.empty()) offered.pop_back();
    return true;
}

}  // namespace kestrova

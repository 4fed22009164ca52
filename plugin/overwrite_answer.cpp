#include "plugin/overwrite_answer.h"

#include "common/errors.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

bool TOverwriteAnswer::Decide(const FAR_FIND_DATA& source, const FAR_FIND_DATA* existing) {
    if (!existing) return true;
    if ((answer_ & kExistsForAll) == 0) answer_ = FileExistsDialog(source, *existing, 0);
    if ((answer_ & kExistsCancel) != 0) throw EAbort();
    return (answer_ & kExistsSkip) == 0;
}

}  // namespace kestrova

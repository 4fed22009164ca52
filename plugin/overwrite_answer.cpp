#include "plugin/overwrite_answer.h"

#include "common/errors.h"
#include "platform/filesystem.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

bool TOverwriteAnswer::Decide(const FAR_FIND_DATA& source, const FAR_FIND_DATA* existing) {
    if (!existing) return true;
    if ((answer_ & kExistsForAll) == 0) answer_ = FileExistsDialog(source, *existing, 0);
    if ((answer_ & kExistsCancel) != 0) throw EAbort();
    return (answer_ & kExistsSkip) == 0;
}

bool TOverwriteAnswer::Decide(const FAR_FIND_DATA& source, const std::string& target) {
    FAR_FIND_DATA existing{};
    const bool exists = platform::FileExists(target) && platform::GetFindData(target, existing);
    return Decide(source, exists ? &existing : nullptr);
}

}  // namespace kestrova

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

bool TargetTaken(const std::string& target, FAR_FIND_DATA& existing) {
    return platform::GetFindData(target, existing) &&
           (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TOverwriteAnswer::Decide(const FAR_FIND_DATA& source, const std::string& target) {
    FAR_FIND_DATA existing{};
    return Decide(source, TargetTaken(target, existing) ? &existing : nullptr);
}

}  // namespace kestrova

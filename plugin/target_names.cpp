#include "plugin/target_names.h"

#include "common/path_utils.h"
#include "common/text_utils.h"
#include "news/panel_item_list.h"
#include "ui/download_name.h"
#include "ui/file_helpers.h"

namespace kestrova {

TTargetNames MakeTargetNames(const TFindItem& record, unsigned flags, const std::string& destPath,
                             char sourceDelim, char destDelim) {
    TTargetNames names;
    const std::string full = record.FindData.cFileName;
    const bool folder = (record.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder) {
        names.SourceDir = IncludeTrailingSeparator(full, sourceDelim);
    } else {
        SplitPath(full, sourceDelim, names.SourceDir, names.SourceName);
        names.Name = names.SourceName;
    }
    std::string relative = names.SourceDir;
    if (!relative.empty() && relative.front() == sourceDelim) relative.erase(0, 1);
    relative = ReplaceChar(relative, sourceDelim, destDelim);

    std::string destDir, destMask;
    SplitPath(destPath, destDelim, destDir, destMask);
    names.Dir = CombinePath(destDir, relative, destDelim);
    if ((flags & kTargetApplyMask) != 0 && !folder)
        names.Name = ApplyNameMask(destMask, names.Name);
    return names;
}

TTargetNames MakeArticleTargetNames(const TFindItem& record, const std::string& destPath,
                                    char destDelim, const std::string& downloadTemplate) {
    TTargetNames names;
    // A name the panel shows with a leading space, so as not to be its folder or its parent,
    // names the file by what it stands for.
    const std::string listed(NameOfPanelItem(record.FindData.cFileName));
    std::string destMask;
    SplitPath(destPath, destDelim, names.Dir, destMask);
    if ((record.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        names.Dir += SafeDownloadName(listed) + destDelim;
        return names;
    }
    names.SourceName = listed;
    const TDownloadSource source{listed, record.ColumnText, record.Number};
    names.Name = SafeDownloadName(
        ExpandDownloadName(downloadTemplate, source, ApplyNameMask(destMask, listed)));
    return names;
}

}  // namespace kestrova

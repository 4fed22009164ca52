// Where one collected item goes in a copy: its source folder and name, and the destination
// folder and name. Names carry their own side's separator (the module's panel "\", the file
// system kPathDelim); the relative folder part is converted to the destination's separator.
#pragma once

#include <string>

#include "plugin/item_collection.h"

namespace kestrova {

// Apply the destination's name mask to a file's name.
inline constexpr unsigned kTargetApplyMask = 4;

struct TTargetNames {
    std::string Name;        // empty for a folder
    std::string Dir;         // destination folder, ending with destDelim
    std::string SourceName;  // empty for a folder
    std::string SourceDir;   // ends with sourceDelim unless empty
};

// destPath is a destination folder ending with destDelim, or a folder followed by a name or
// mask (which only files take, with kTargetApplyMask).
TTargetNames MakeTargetNames(const TFindItem& record, unsigned flags, const std::string& destPath,
                             char sourceDelim, char destDelim);

// Where an item of a connected panel goes. Its name is one name chosen by the server (a
// newsgroup or an article's subject), never a path: whatever it holds, the target stays in
// destPath's folder. A group becomes a folder there named after it; an article a file named
// by downloadTemplate (ui/download_name.h), or, when that is empty, by its name with the
// destination's mask applied. Both names are made safe with SafeDownloadName.
TTargetNames MakeArticleTargetNames(const TFindItem& record, const std::string& destPath,
                                    char destDelim, const std::string& downloadTemplate);

}  // namespace kestrova

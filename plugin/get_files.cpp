// GetFiles: copying items out of the panel. In registry mode every selected account, and every
// account inside a selected folder, is written to an account file of the destination folder; a
// move then deletes the accounts and afterwards their folders. In internet mode the articles
// are written as files (copy_articles.cpp).
#include <algorithm>
#include <vector>

#include "common/errors.h"
#include "common/path_utils.h"
#include "platform/filesystem.h"
#include "plugin/copy_target.h"
#include "plugin/item_collection.h"
#include "plugin/nntp_plugin.h"
#include "plugin/operation_scope.h"
#include "plugin/overwrite_answer.h"
#include "plugin/target_names.h"
#include "ui/file_helpers.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {
constexpr char kStoreDelim = '\\';

}  // namespace

int TNntpPlugin::GetFiles(PluginPanelItem* items, int itemsNumber, int move,
                          const std::string& destPath, int opMode) {
    if (IsInactive()) return 0;
    try {
        TOperationScope operation(*this, kRequestGetFiles, opMode);
        const bool articles = InInternetMode();
        std::string dest = IncludeTrailingSeparator(destPath, platform::kPathDelim);
        if ((opMode & (OPM_SILENT | OPM_FIND)) == 0) {
            const bool accepted = articles ? AskArticleTarget(dest, platform::kPathDelim)
                                           : AskCopyTarget(move != 0, dest, platform::kPathDelim);
            if (!accepted) throw EAbort();
        }
        ShowStatus(kOpRunning, GetMsg(kMsgPleaseWait));
        std::vector<TFindItem> list;
        if (!CollectItems(*this, items, itemsNumber, true, list)) throw EAbort();
        if (articles) {
            CopyArticlesOut(items, itemsNumber, list, dest);
        } else {
            CopyAccountsOut(items, itemsNumber, list, dest, move != 0);
        }
        return 1;
    } catch (...) {
        return ReportError(std::current_exception(), "GetFiles", opMode);
    }
}

namespace {

// Whether one of names (items of the panel, "folder\item") lies inside folder.
bool HoldsAny(const std::string& folder, const std::vector<std::string>& names) {
    const std::string prefix = folder + kStoreDelim;
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return name.starts_with(prefix); });
}

}  // namespace

void TNntpPlugin::CopyAccountsOut(PluginPanelItem* items, int itemsNumber,
                                  const std::vector<TFindItem>& list, const std::string& dest,
                                  bool move) {
    TOverwriteAnswer answer;
    // Accounts a move leaves in place: skipped, or not written. Their folders stay too.
    std::vector<std::string> kept;
    for (size_t i = 0; i < list.size(); ++i) {
        const TFindItem& record = list[i];
        const TTargetNames names =
            MakeTargetNames(record, kTargetApplyMask, dest, kStoreDelim, platform::kPathDelim);
        bool skipped = false;
        if (IsFolder(record)) {
            ForceDirectories(names.Dir);
        } else {
            const std::string name = MakeValidFileName(names.Name, kStoreDelim);
            const std::string target = names.Dir + name;
            ShowStatus(kOpInteractive, GetMsg(kMsgWritingAccount), {}, target);
            skipped = !answer.Decide(record.FindData, target);
            if (!skipped) {
                RegistryManager->GetFile(names.SourceDir, names.SourceName, names.Dir, name);
                // GetFile writes nothing for an account it cannot read or save: such an
                // account is not deleted.
                if (move && platform::FileExists(target)) {
                    RegistryManager->DeleteItem(names.SourceDir + names.SourceName);
                } else if (move) {
                    kept.push_back(record.FindData.cFileName);
                }
            } else {
                kept.push_back(record.FindData.cFileName);
            }
        }
        if (i < static_cast<size_t>(itemsNumber) && !skipped) items[i].Flags &= ~PPIF_SELECTED;
    }
    if (move) {
        for (size_t i = list.size(); i-- > 0;) {
            const std::string folder = list[i].FindData.cFileName;
            if (IsFolder(list[i]) && !HoldsAny(folder, kept)) RegistryManager->DeleteItem(folder);
        }
    }
}

}  // namespace kestrova

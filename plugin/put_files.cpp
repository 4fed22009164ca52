// PutFiles: in internet mode the files are posted (put_articles.cpp); in registry mode account
// files of the other panel become accounts of the current store folder, and folders become
// store folders; a move then deletes the files and the folders left empty.
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
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {
constexpr char kStoreDelim = '\\';

}  // namespace

int TNntpPlugin::PutFiles(PluginPanelItem* items, int itemsNumber, int move, int opMode) {
    if (IsInactive()) return 0;
    try {
        TOperationScope operation(*this, kRequestPutFiles, opMode);
        if (InInternetMode()) {
            PutArticles(items, itemsNumber, move, opMode);
            return 1;
        }
        std::string folder = IncludeTrailingSeparator(RegistryManager->Path, kStoreDelim);
        if ((opMode & OPM_SILENT) == 0 && !AskCopyTarget(move != 0, folder, kStoreDelim))
            throw EAbort();
        ShowStatus(kOpRunning, GetMsg(kMsgPleaseWait));
        std::vector<TFindItem> list;
        if (!CollectItems(*this, items, itemsNumber, false, list)) throw EAbort();

        TOverwriteAnswer answer;
        for (size_t i = 0; i < list.size(); ++i) {
            const TFindItem& record = list[i];
            const TTargetNames names = MakeTargetNames(record, kTargetApplyMask, folder,
                                                       platform::kPathDelim, kStoreDelim);
            bool skipped = false;
            if (IsFolder(record)) {
                RegistryManager->MakeDirectory(names.Dir);
            } else {
                const std::string source = names.SourceDir + names.SourceName;
                ShowStatus(kOpInteractive, GetMsg(kMsgReadingAccount), {}, source);
                FAR_FIND_DATA existing{};
                const bool exists =
                    RegistryManager->GetItemInfo(names.Dir, names.Name, existing) >= 0;
                skipped = !answer.Decide(record.FindData, exists ? &existing : nullptr);
                if (!skipped) {
                    RegistryManager->PutFile(names.SourceDir, names.SourceName, names.Dir);
                    if (move) platform::DeleteFile(source);
                }
            }
            if (i < static_cast<size_t>(itemsNumber) && !skipped) items[i].Flags &= ~PPIF_SELECTED;
        }
        if (move) {
            for (size_t i = list.size(); i-- > 0;)
                if (IsFolder(list[i])) platform::RemoveDirectory(list[i].FindData.cFileName);
        }
        return 1;
    } catch (...) {
        return ReportError(std::current_exception(), "PutFiles", opMode);
    }
}

}  // namespace kestrova

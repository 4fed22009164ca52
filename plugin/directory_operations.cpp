// The host's folder commands on the panel: entering and leaving folders, making a folder (F7)
// and deleting (F8). Only entering does anything in internet mode.
#include <cstring>
#include <vector>

#include "common/text_utils.h"
#include "news/news_internet_manager.h"
#include "plugin/item_collection.h"
#include "plugin/nntp_plugin.h"
#include "plugin/operation_scope.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/standard_dialogs.h"

namespace kestrova {
int TNntpPlugin::SetDirectory(const std::string& dir, int opMode) {
    if (IsInactive()) return 0;
    try {
        TOperationScope operation(*this, kRequestSetDirectory, opMode);
        if (InInternetMode()) {
            const std::string path = ReplaceChar(dir, '\\', InternetManager->Delimiter);
            ReceiveData(kRequestSetDirectory, reinterpret_cast<intptr_t>(&path), nullptr);
        } else {
            RegistryManager->SetDirectory(dir);
        }
        UpdateTitle();
        return 1;
    } catch (...) {
        return ReportError(std::current_exception(), "SetDirectory", opMode);
    }
}

int TNntpPlugin::MakeDirectory(char* name, int opMode) {
    if (IsInactive() || Mode != PluginMode::Registry || (opMode & OPM_SILENT) != 0) return 0;
    try {
        std::string folder = name;
        if (InputDialog(PanelHost, GetMsg(kMsgFolderPrompt), folder) != kAccepted) return -1;
        if (IsBlank(folder)) return 0;
        std::strncpy(name, folder.c_str(), NM - 1);
        name[NM - 1] = '\0';
        RegistryManager->MakeDirectory(folder);
        return 1;
    } catch (...) {
        // A store that refuses the folder is reported like any other panel failure; the host
        // is told that nothing was made.
        ReportError(std::current_exception(), "MakeDirectory", opMode);
        return 0;
    }
}

int TNntpPlugin::DeleteFiles(PluginPanelItem* items, int itemsNumber, int opMode) {
    if (IsInactive() || Mode != PluginMode::Registry) return 0;
    try {
        if (ConfirmDelete(items, itemsNumber) == kCancelled) return 0;
        TOperationScope operation(*this, kRequestDeleteFiles, opMode);
        ShowStatus(kOpRunning, GetMsg(kMsgPleaseWait));
        std::vector<TFindItem> list;
        CollectItems(*this, items, itemsNumber, true, list);
        // Contents go before the folders that hold them.
        for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
            const std::string name = list[i].FindData.cFileName;
            ShowStatus(kOpInteractive, GetMsg(kMsgDeleting), {}, name);
            RegistryManager->DeleteItem(name);
            if (i < itemsNumber) items[i].Flags &= ~PPIF_SELECTED;
        }
        return 1;
    } catch (...) {
        ReportError(std::current_exception(), "DeleteFiles", opMode);
        return 0;
    }
}

}  // namespace kestrova

// What the host asks before drawing the panel: what it is (GetOpenPluginInfo) and what it holds
// (GetFindData), and the release of what GetFindData handed out.
#include "news/news_internet_manager.h"
#include "plugin/nntp_plugin.h"
#include "plugin/operation_scope.h"
#include "ui/module_state.h"
#include "ui/panel_items.h"

namespace kestrova {

void TNntpPlugin::GetOpenPluginInfo(OpenPluginInfo& info) {
    if (IsInactive()) return;
    try {
        if (SavedViewMode == -1) SaveViewMode(PluginMode::None);
        if (Mode != AppliedMode) {
            AppliedMode = Mode;
            RestoreViewMode(Mode);
        }
        KeyBarTitles = {};
        info.StructSize = sizeof(OpenPluginInfo);
        info.Flags |= OPIF_ADDDOTS | OPIF_SHOWPRESERVECASE | OPIF_COMPAREFATTIME;
        info.StartPanelMode = 0;
        info.StartSortMode = 0;
        info.StartSortOrder = 1;
        if (InInternetMode())
            InternetManager->GetOpenPluginInfo(info, ShortcutData);
        else
            RegistryManager->FillPluginInfo(info, ShortcutData);
        info.PanelTitle = PanelTitle.c_str();
        info.CurDir = CurDir.c_str();
        info.Format = "news";
        info.ShortcutData = ShortcutData.c_str();
        info.KeyBar = &KeyBarTitles;
        info.InfoLines = InfoLines;
    } catch (...) {
        ReportError(std::current_exception(), "GetOpenPluginInfo", 0);
    }
}

int TNntpPlugin::GetFindData(PluginPanelItem** items, int* itemsNumber, int opMode) {
    *items = nullptr;
    *itemsNumber = 0;
    if (IsInactive()) return 1;
    try {
        TOperationScope operation(*this, kRequestList, opMode);
        ReceiveData(kRequestList, reinterpret_cast<intptr_t>(items), itemsNumber);
    } catch (...) {
        ReportError(std::current_exception(), "GetFindData", opMode);
    }
    // A group's first entry may leave its older articles out, and the title says so.
    if (InInternetMode()) UpdateTitle();
    return 1;
}

void TNntpPlugin::FreeFindData(PluginPanelItem* items, int itemsNumber) {
    if (!items || itemsNumber <= 0) return;
    try {
        FreePanelItems(items, itemsNumber);
    } catch (...) {
        // Nothing to be done about memory that cannot be given back.
    }
}

}  // namespace kestrova

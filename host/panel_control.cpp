// The panel services: Control, the dir lists and the screen save handles.
#include <cstring>

#include "host/dir_lists.h"
#include "host/host.h"
#include "host/host_error.h"

namespace kestrova::host {

int Host::Control(HANDLE plugin, int command, void* param) {
    // The module's own handle names its panel; INVALID_HANDLE_VALUE (or a handle the host does
    // not know yet, during OpenPlugin) names the active panel.
    PanelView& active =
        panel_ && plugin == panel_->Handle() ? static_cast<PanelView&>(*panel_) : ActivePanel();
    switch (command) {
        case FCTL_CLOSEPLUGIN:
            if (!panel_) return 0;
            closeRequested_ = true;  // closed once the module's running call returns
            closeFolder_ =
                param ? std::optional<std::string>(static_cast<const char*>(param)) : std::nullopt;
            return 1;
        case FCTL_GETPANELINFO:
        case FCTL_GETANOTHERPANELINFO:
            if (!param) return 0;
            if (command == FCTL_GETPANELINFO)
                active.FillPanelInfo(*static_cast<PanelInfo*>(param), true);
            else
                otherLocal_.FillPanelInfo(*static_cast<PanelInfo*>(param), false);
            return 1;
        case FCTL_UPDATEPANEL:
            // A listing that asks for a reread of itself gets none: it is listing already.
            if (!rereading_) {
                rereading_ = true;
                active.Reread();
                rereading_ = false;
            }
            return 1;
        case FCTL_UPDATEANOTHERPANEL:
            otherLocal_.Reread();
            return 1;
        case FCTL_REDRAWPANEL:
        case FCTL_REDRAWANOTHERPANEL: {
            PanelView& target = command == FCTL_REDRAWPANEL ? active : otherLocal_;
            if (param) {
                const auto* redraw = static_cast<const PanelRedrawInfo*>(param);
                target.SetCursor(redraw->CurrentItem, redraw->TopPanelItem);
                if (panel_ && &target == panel_.get()) cursorPlacedByModule_ = true;
            }
            if (panel_ && &target == panel_.get()) {
                panel_->RefreshInfo();
                frontEnd_.PanelRedrawn();
            }
            return 1;
        }
        case FCTL_SETSELECTION: {
            const auto* info = static_cast<const PanelInfo*>(param);
            if (!info || !info->PanelItems) return 0;
            active.SetSelection(info->PanelItems, info->ItemsNumber);
            return 1;
        }
        case FCTL_SETVIEWMODE:
        case FCTL_SETANOTHERVIEWMODE:
            if (!param) return 0;
            (command == FCTL_SETVIEWMODE ? active : otherLocal_)
                .SetViewMode(*static_cast<const int*>(param));
            return 1;
        case FCTL_SETANOTHERPANELDIR:
            try {
                return param && ChangeLocalFolder(static_cast<const char*>(param)) ? 1 : 0;
            } catch (const HostError&) {
                return 0;  // nothing may escape into the module
            }
        case FCTL_SETCMDLINE:
            commandLine_ = param ? static_cast<const char*>(param) : "";
            return 1;
        case FCTL_INSERTCMDLINE:
            if (param) commandLine_ += static_cast<const char*>(param);
            return 1;
        default:
            // FCTL_GETCMDLINE (no buffer size to honour) and the other panel's selection are not
            // offered.
            return 0;
    }
}

HANDLE Host::SaveScreen() {
    const intptr_t handle = nextScreen_++;
    frontEnd_.SaveScreen(handle);
    return reinterpret_cast<HANDLE>(handle);
}

void Host::RestoreScreen(HANDLE screen) {
    if (screen) frontEnd_.RestoreScreen(reinterpret_cast<intptr_t>(screen));
}

int Host::HandOut(PanelItemList&& list, PluginPanelItem** items, int* itemsNumber) {
    *items = nullptr;
    *itemsNumber = static_cast<int>(list.Size());
    if (list.Empty()) return 1;
    auto owned = std::make_unique<PanelItemList>(std::move(list));
    *items = owned->Data();
    dirLists_[*items] = std::move(owned);
    return 1;
}

int Host::GetDirList(const char* dir, PluginPanelItem** items, int* itemsNumber) {
    if (!dir || !items || !itemsNumber) return 0;
    *items = nullptr;
    *itemsNumber = 0;
    PanelItemList list;
    if (!CollectLocalTree(dir, list)) return 0;
    return HandOut(std::move(list), items, itemsNumber);
}

int Host::GetPluginDirList(HANDLE plugin, const char* dir, PluginPanelItem** items,
                           int* itemsNumber) {
    if (!dir || !items || !itemsNumber) return 0;
    *items = nullptr;
    *itemsNumber = 0;
    PanelItemList list;
    if (!CollectPluginTree(module_, plugin, dir, list)) return 0;
    return HandOut(std::move(list), items, itemsNumber);
}

void Host::FreeDirList(const PluginPanelItem* items) {
    dirLists_.erase(items);
}

}  // namespace kestrova::host

// ProcessKey: keys the module takes before the host. The manager of the current mode maps a
// key to an action and may carry it out; the actions it leaves, and two keys of the panel's
// own, are carried out here.
#include <string>

#include "news/news_internet_manager.h"
#include "platform/clipboard.h"
#include "plugin/nntp_plugin.h"
#include "plugin/operation_scope.h"
#include "ui/host_services.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

constexpr int kActionCopyNames = 2;
constexpr int kActionNameToCommandLine = 3;
constexpr int kVkInsert = 0x2D;
constexpr int kVkF = 0x46;

// The panel's own keys, used when the manager left the key alone.
int PanelKeyAction(int key, unsigned controlState) {
    if (key == kVkInsert && controlState == (PKF_CONTROL | PKF_SHIFT)) return kActionCopyNames;
    if (key == kVkF && controlState == PKF_CONTROL) return kActionNameToCommandLine;
    return kActionNone;
}

}  // namespace

std::string TNntpPlugin::GetItemText(const PluginPanelItem& item) {
    if (InInternetMode()) return item.FindData.cFileName;
    std::string text;
    RegistryManager->GetItemUrl(item, Options.CopyPasswords != 0, text);
    return text;
}

void TNntpPlugin::CopyNamesToClipboard(const PluginPanelItem* items, int count) {
    if (count <= 0 || !items) return;
    std::string text;
    for (int i = 0; i < count; ++i) text += GetItemText(items[i]) + "\r\n";
    platform::SetClipboardText(text);
}

int TNntpPlugin::ProcessKey(int key, unsigned controlState) {
    if (IsInactive()) return 0;
    TKeyContext context;
    int handled = 0;
    try {
        TOperationScope operation(*this, kRequestPost, 0);
        if (!StartupInfo.Control ||
            !StartupInfo.Control(Handle(), FCTL_GETPANELINFO, &context.Info))
            return 0;
        context.Redraw = {context.Info.CurrentItem, context.Info.TopPanelItem};
        int action = kActionNone;
        handled = InInternetMode()
                      ? InternetManager->ProcessKey(key, controlState, context, action)
                      : RegistryManager->ProcessKey(key, controlState, context, action);
        if (!handled) {
            if (action == kActionNone) action = PanelKeyAction(key, controlState);
            if (action != kActionNone) {
                handled = 1;
                CarryOut(action, context);
            }
        }
    } catch (...) {
        ReportError(std::current_exception(), "ProcessKey", 0);
    }
    if (context.Item) RegistryManager->FreeItem(context.Item);
    try {
        if ((context.Flags & kKeySetSelection) != 0 && StartupInfo.Control)
            StartupInfo.Control(Handle(), FCTL_SETSELECTION, &context.Info);
        if ((context.Flags & kKeyUpdatePanel) != 0) {
            UpdateTitle();
            if (StartupInfo.Control) StartupInfo.Control(Handle(), FCTL_UPDATEPANEL, nullptr);
        }
        if ((context.Flags & kKeyRedrawPanel) != 0 && StartupInfo.Control)
            StartupInfo.Control(Handle(), FCTL_REDRAWPANEL, &context.Redraw);
    } catch (...) {
        // The key has been handled; only the redraw failed.
    }
    return handled;
}

void TNntpPlugin::CarryOut(int action, TKeyContext& context) {
    const PanelInfo& info = context.Info;
    switch (action) {
        case kActionCopyNames:
            if (info.SelectedItemsNumber > 0)
                CopyNamesToClipboard(info.SelectedItems, info.SelectedItemsNumber);
            break;
        case kActionNameToCommandLine: {
            if (info.CurrentItem < 0 || info.CurrentItem >= info.ItemsNumber) break;
            std::string text = GetItemText(info.PanelItems[info.CurrentItem]);
            if (!text.empty() && StartupInfo.Control)
                StartupInfo.Control(Handle(), FCTL_INSERTCMDLINE, text.data());
            break;
        }
        case kActionOpenItem: {
            context.Redraw = {0, 0};
            TItemRelease release(*RegistryManager, context.Item);
            // Whatever happens, the panel is read again and drawn from the top.
            context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
            OpenAccount(context.Item.get(), true);
            break;
        }
        case kActionViewHeader:
        case kActionViewBody:
            // Index 0 is the ".." item.
            if (info.CurrentItem > 0 && info.CurrentItem < info.ItemsNumber) {
                if (action == kActionViewBody)
                    ReadArticles(context);
                else
                    ViewArticlePart(kRequestHead, info.PanelItems[info.CurrentItem]);
            }
            break;
        case kActionReply:
            if (info.CurrentItem > 0 && info.CurrentItem < info.ItemsNumber &&
                ComposeWithTemplate(&info.PanelItems[info.CurrentItem],
                                    Options.Templates.ReplyTemplate, kRequestArticle))
                context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
            break;
        case kActionGoOnline:
            // Online or not, the title and the listing show what the session is now.
            context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
            GoOnline();
            break;
        case kActionNewArticle:
            if (ComposeWithTemplate(nullptr, Options.Templates.NewTemplate, 0))
                context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
            break;
        default:
            // Swallowed keys.
            break;
    }
}

}  // namespace kestrova

// The configuration entry point: a menu of the option groups that reopens on the entry last
// chosen until Esc.
#include <vector>

#include "hostapi/plugin_api.h"
#include "plugin/error_text.h"
#include "ui/config_dialogs.h"
#include "ui/menus.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/product_info.h"

namespace kestrova {
namespace {

// Entries 0 to 5 open the dialogs in this order; entry 6 is the separator.
constexpr bool (*kOptionDialogs[])() = {InterfaceDialog, ConnectionDialog, DefaultAccountDialog,
                                        ProxyDialog,     TemplatesDialog,  CharTablesDialog};
constexpr int kProductInfoEntry = 7;

std::vector<const char*> MenuTexts() {
    return {GetMsg(kMsgInterface),
            GetMsg(kMsgConnection),
            GetMsg(kMsgDefaultAccount),
            GetMsg(kMsgProxyServer),
            GetMsg(kMsgTemplates),
            GetMsg(kMsgCharTables),
            nullptr,
            GetMsg(kMsgAbout)};
}

// A dialog whose options could not be saved (a read-only or full store) says why, and the menu
// comes back: the user knows the change was not kept.
void RunOptionDialog(bool (*dialog)()) {
    try {
        dialog();
    } catch (...) {
        ShowFailure(std::current_exception(), "Configure");
    }
}

}  // namespace
}  // namespace kestrova

using namespace kestrova;

KESTROVA_EXPORT int Configure(int) {
    try {
        int selected = 0;
        for (;;) {
            const int chosen = RunMenu(GetMsg(kMsgSettingsTitle), MenuTexts(), selected);
            if (chosen < 0) return 1;
            selected = chosen;
            if (chosen < static_cast<int>(std::size(kOptionDialogs)))
                RunOptionDialog(kOptionDialogs[chosen]);
            else if (chosen == kProductInfoEntry)
                ShowTextList(ProductInfo, 0);
        }
    } catch (...) {
        return 0;
    }
}

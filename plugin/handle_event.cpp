// HandleEvent: the callback through which both managers ask the panel for status boxes, titles,
// questions and progress, and through which a transfer notices Esc.
#include "common/errors.h"
#include "hostapi/plugin_api.h"
#include "plugin/nntp_plugin.h"
#include "ui/console_keys.h"
#include "ui/event_kinds.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

std::string TextOf(intptr_t param) {
    const char* text = reinterpret_cast<const char*>(param);
    return text ? text : "";
}

void CheckEscape(const char* procName) {
    if (CheckForKey(VK_ESCAPE)) throw EUserAbort(kItemFailure, "", procName);
}

}  // namespace

int TNntpPlugin::HandleEvent(int kind, intptr_t param1, intptr_t param2) {
    switch (kind) {
        case kEventStatus:
            ShowStatus(kOpInteractive, GetMsg(static_cast<int>(param1)), {}, TextOf(param2));
            return 0;
        case kEventTitle:
            ShowInTitle(kOpInteractive, TextOf(param2));
            return 0;
        case kEventConfirm:
            return ShowMessage(FMSG_WARNING,
                               {GetMsg(kMsgAlreadyExists), TextOf(param1), TextOf(param2)},
                               {kMsgOverwrite, kMsgCancel}) == 0
                       ? 1
                       : 0;
        case kEventReceived:
        case kEventSending:
            CheckEscape("ReceiveData");
            return 0;
        case kEventProgress:
            CheckEscape("ShowTraffic");
            ShowTraffic(static_cast<int>(param2));
            return 0;
        case kEventWaiting:
            if ((OpFlags & kOpCounting) != 0) ShowTraffic(0);
            return 0;
        case kEventMessageBox:
            ShowStatus(kOpInteractive, GetMsg(static_cast<int>(param1)), {kMsgOk}, TextOf(param2));
            return 0;
        case kEventLogin:
            return AskLogin(*reinterpret_cast<TUrlComponents*>(param1), TextOf(param2));
        default:
            return 0;
    }
}

}  // namespace kestrova

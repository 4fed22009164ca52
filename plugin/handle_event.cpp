// HandleEvent: the callback through which both managers ask the panel for status boxes, titles,
// questions and progress, and through which a transfer notices Esc.
#include "common/errors.h"
#include "hostapi/plugin_api.h"
#include "plugin/nntp_plugin.h"
#include "ui/console_keys.h"
#include "ui/message_box.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

constexpr int kMsgOk = 1;
constexpr int kMsgCancel = 2;
constexpr int kMsgOverwrite = 11;
constexpr int kMsgQuestionTitle = 39;

constexpr int kKindStatus = 1;
constexpr int kKindTitle = 2;
constexpr int kKindConfirm = 3;
constexpr int kKindReceived = 5;
constexpr int kKindSending = 6;
constexpr int kKindProgress = 7;
constexpr int kKindMessageBox = 8;
constexpr int kKindLogin = 9;

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
        case kKindStatus:
            ShowStatus(kOpInteractive, GetMsg(static_cast<int>(param1)), {}, TextOf(param2));
            return 0;
        case kKindTitle:
            ShowInTitle(kOpInteractive, TextOf(param2));
            return 0;
        case kKindConfirm:
            return ShowMessage(FMSG_WARNING,
                               {GetMsg(kMsgQuestionTitle), TextOf(param1), TextOf(param2)},
                               {kMsgOverwrite, kMsgCancel}) == 0
                       ? 1
                       : 0;
        case kKindReceived:
        case kKindSending:
            CheckEscape("ReceiveData");
            return 0;
        case kKindProgress:
            CheckEscape("ShowTraffic");
            ShowTraffic(static_cast<int>(param2));
            return 0;
        case kKindMessageBox:
            ShowStatus(kOpInteractive, GetMsg(static_cast<int>(param1)), {kMsgOk}, TextOf(param2));
            return 0;
        case kKindLogin:
            return AskLogin(*reinterpret_cast<TUrlComponents*>(param1), TextOf(param2));
        default:
            return 0;
    }
}

}  // namespace kestrova

// Working offline: the offer when the server of an account with a cache cannot be reached, and
// the way back online.
#include <string>

#include "common/errors.h"
#include "news/news_internet_manager.h"
#include "plugin/nntp_plugin.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

int TNntpPlugin::OfferOffline(const std::string& className, const std::string& failure,
                              int request) {
    const int code = request & 0xFFFF;
    if (!InInternetMode() || (OpFlags & kOpInteractive) == 0 || className != "ESocketError" ||
        (code != kRequestConnect && code != kRequestReconnect) ||
        !InternetManager->CanWorkOffline()) {
        return 0;
    }
    const int chosen = ShowMessage(FMSG_WARNING, {PanelHost, failure, GetMsg(kMsgOfferOffline)},
                                   {kMsgWorkOffline, kAnswerRetry, kAnswerStop});
    if (chosen == 0) return kAnswerOffline;
    return chosen == 1 ? kAnswerRetry : kAnswerStop;
}

void TNntpPlugin::GoOnline() {
    if (!InInternetMode() || !InternetManager->Offline()) return;
    try {
        InternetManager->GoOnline();
    } catch (const Exception& failure) {
        ShowMessage(FMSG_WARNING, {PanelHost, failure.Message, GetMsg(kMsgStillOffline)}, {kMsgOk});
    }
}

}  // namespace kestrova

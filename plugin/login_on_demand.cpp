// The login dialog the news manager asks for when the server wants a login the account does not
// hold, or refused the one it sent.
#include "news/internet_manager.h"
#include "plugin/nntp_plugin.h"
#include "ui/event_kinds.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

int TNntpPlugin::AskLogin(TUrlComponents& url, const std::string& refusal) {
    if ((OpFlags & kOpInteractive) == 0) return 0;
    if (!refusal.empty()) {
        const int again = ShowMessage(
            FMSG_WARNING, {url.HostName, GetMsg(kMsgLoginRefused), refusal, GetMsg(kMsgLoginAgain)},
            {kMsgOk, kMsgCancel});
        if (again != 0) return kLoginDeclined;
    }
    std::string user = url.UserName;
    std::string password = url.Password;
    if (LoginDialog(url.HostName, nullptr, user, password) != kAccepted || user.empty()) {
        return kLoginDeclined;
    }
    url.UserName = user;
    url.Password = password;
    return kLoginEntered;
}

}  // namespace kestrova

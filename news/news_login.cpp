// Logging in to the news server: at connect time when the account has a user name, and on
// demand when the server answers a command with 480. A refused login is said once and offers
// the login dialog again; it is never retried with the same credentials.
#include "common/errors.h"
#include "news/news_internet_manager.h"
#include "news/reply_codes.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

namespace {

bool IsRefusal(int code) {
    return code == kReplyLoginRejected || code == kReplyLoginOutOfSequence;
}

}  // namespace

bool TNewsInternetManager::LogIn() {
    constexpr int flags = kWaitForReply | kKeepReply;
    for (;;) {
        int code = SendCommand(*Socket, "AUTHINFO USER", kLogCommand, flags, Account.Url.UserName);
        if (code == kReplyPasswordRequired && !Account.Url.Password.empty()) {
            code = SendCommand(*Socket, "AUTHINFO PASS", kLogCommand, flags, Account.Url.Password);
        }
        LoggedIn = code == kReplyLoginAccepted;
        if (!IsRefusal(code)) return LoggedIn;

        const std::string refusal = ReplyLine;
        const int answer = DoEvent(kEventLogin, reinterpret_cast<intptr_t>(&Account.Url),
                                   reinterpret_cast<intptr_t>(refusal.c_str()));
        if (answer == kLoginDeclined) throw EAbort();
        if (answer != kLoginEntered) {
            RaiseError(static_cast<uint32_t>(code) | kRefused,
                       std::string(GetMsg(kMsgLoginRefused)) + ". " + refusal, "LogIn");
        }
    }
}

bool TNewsInternetManager::LogInOnDemand(int flags) {
    if (LoggedIn) return false;
    std::string& user = Account.Url.UserName;
    if ((flags & kLoginOnlyWithCredentials) != 0 && user.empty()) return false;
    if (user.empty() || Account.Url.Password.empty()) {
        const int answer = DoEvent(kEventLogin, reinterpret_cast<intptr_t>(&Account.Url), 0);
        if (answer == kLoginDeclined) throw EAbort();
        if (answer != kLoginEntered || user.empty()) return false;
    }
    return LogIn();
}

}  // namespace kestrova

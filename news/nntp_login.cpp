// Logging in to the news server: at connect time when the account has a user name, and on
// demand when the server answers a command with 480; never in clear when the account asks for
// TLS. A refused login is said once and offers
// the login dialog again; it is never retried with the same credentials.
#include "common/errors.h"
#include "news/nntp_connection.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

namespace {

bool IsRefusal(int code) {
    return code == kReplyLoginRejected || code == kReplyLoginOutOfSequence;
}

}  // namespace

bool TNntpConnection::LogIn() {
    RefuseLoginInClear();
    const TUrlComponents& url = account_.Url;
    const auto sendUser = [&] {
        return Command(CommandLine("AUTHINFO USER", url.UserName), kLogCommand, kKeepReply);
    };
    for (;;) {
        TNntpStatus status = sendUser();
        // The server wants a password the account lacks: it is asked for, never sent empty, and
        // the login is not left half done.
        while (status.Code == kReplyPasswordRequired && url.Password.empty()) {
            const std::string user = url.UserName;
            AskLogin(status, false);
            if (url.UserName != user) status = sendUser();
        }
        if (status.Code == kReplyPasswordRequired) {
            status = Command(CommandLine("AUTHINFO PASS", url.Password), kLogCommand, kKeepReply);
        }
        loggedIn_ = status.Code == kReplyLoginAccepted;
        // A login may offer more: a server that listed its capabilities is asked again.
        if (loggedIn_ && capabilities_.Listed) AskCapabilities();
        if (!IsRefusal(status.Code)) return loggedIn_;
        AskLogin(status, true);
    }
}

void TNntpConnection::AskLogin(const TNntpStatus& status, bool refused) {
    const int answer = Notify(kEventLogin, reinterpret_cast<intptr_t>(&account_.Url),
                              refused ? reinterpret_cast<intptr_t>(status.Line.c_str()) : 0);
    if (answer == kLoginDeclined) throw EAbort();
    if (answer != kLoginEntered) {
        throw EInternetError(static_cast<uint32_t>(status.Code) | kRefused,
                             std::string(GetMsg(kMsgLoginRefused)) + ". " + status.Line, "LogIn");
    }
}

bool TNntpConnection::LogInOnDemand(int flags) {
    if (loggedIn_) return false;
    const std::string& user = account_.Url.UserName;
    if ((flags & kLoginOnlyWithCredentials) != 0 && user.empty()) return false;
    RefuseLoginInClear();  // before the login dialog: what it asks could not be sent
    if (user.empty() || account_.Url.Password.empty()) {
        const int answer = Notify(kEventLogin, reinterpret_cast<intptr_t>(&account_.Url), 0);
        if (answer == kLoginDeclined) throw EAbort();
        if (answer != kLoginEntered || user.empty()) return false;
    }
    if (socket_->Compressed()) {
        // No login goes inside compression (servers refuse it too): the connection is made
        // again, and logs in before it compresses.
        if (!ConnectAgain) return false;
        log_.Write(kLogConnection, "A login is needed: connecting again to log in uncompressed");
        socket_->SocketClose();
        ConnectAgain();
        return loggedIn_;
    }
    return LogIn();
}

}  // namespace kestrova

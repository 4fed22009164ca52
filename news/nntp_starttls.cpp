// STARTTLS: an account that asks for TLS on the plain port turns the connection into a TLS one
// after the greeting, with the certificate checks of TLS from the first byte. A session that
// stays in clear reads on, but never sends a login.
#include "common/errors.h"
#include "common/format_text.h"
#include "common/visible_text.h"
#include "news/nntp_connection.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

void TNntpConnection::NegotiateTls() {
    startTlsSent_ = true;
    // Nothing goes out ahead of STARTTLS: its reply is the last thing read in clear.
    if (!ahead_.empty()) DiscardAheadReplies();
    const std::string greeting = lastLine_;
    Send("STARTTLS", kLogCommand);
    const TNntpStatus status = WaitStatus(kLogCommand, "StartTls", kKeepReply);
    lastLine_ = greeting;
    if (status.Code != kReplyContinueWithTls) {
        if (ReplyClosesConnection(status.Code)) Check(status, "StartTls");
        ReadInClear(FormatText(GetMsg(kMsgStartTlsRefused), {VisibleText(status.Line)}));
        return;
    }
    // The server's next byte belongs to the handshake; one that came before it would be read as
    // if it had come through TLS.
    if (socket_->DataAvailable() > 0) {
        log_.Write(kLogConnection, "Data after the STARTTLS reply, before the TLS handshake");
        RaiseAndClose(GetMsg(kMsgDataBeforeTls), "StartTls");
    }
    socket_->StartTls(account_.Url.HostName);
    log_.Write(kLogConnection, FormatText("STARTTLS: TLS with certificate SHA-256 %s",
                                          {socket_->PeerFingerprint()}));
    // What the server listed in clear may have been altered on the way: it is asked again.
    AskCapabilities();
}

void TNntpConnection::ReadInClear(const std::string& reason) {
    noTlsReason_ = reason;
    log_.Write(kLogConnection,
               "No TLS (" + reason + "): reading goes on in clear, no login is sent");
}

void TNntpConnection::RefuseLoginInClear() {
    if (account_.Secure != kTlsByStartTls || socket_->HasTls()) return;
    log_.Write(kLogConnection, "A login is not sent in clear");
    // Before STARTTLS was asked for (a server that wants a login for its list) it is not offered.
    const std::string reason = noTlsReason_.empty() ? GetMsg(kMsgNoStartTls) : noTlsReason_;
    throw EInternetError(kRefused, FormatText(GetMsg(kMsgLoginNotInClear), {reason}), "LogIn");
}

}  // namespace kestrova

#include "news/nntp_connection.h"

#include "common/errors.h"
#include "common/format_text.h"
#include "common/visible_text.h"
#include "net/socket_error_text.h"
#include "platform/winsock_errors.h"
#include "ui/console_keys.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// A line that is no status line is shown up to this length, then cut with "...".
constexpr size_t kShownLineLength = 60;

}  // namespace

std::string CommandLine(const std::string& command, const std::string& argument) {
    return argument.empty() ? command : command + " " + argument;
}

TNntpConnection::TNntpConnection(TAccountOptions& account, const TInternetEvent& events,
                                 TSessionLog& log)
    : account_(account), events_(events), log_(log) {}

void TNntpConnection::AttachSocket(std::unique_ptr<TWinSocket> socket) {
    socket_ = std::move(socket);
    socket_->OnData = [this](TWinSocket&, int direction, int count, const char* data) {
        if (dataAsProgress_) {
            Notify(kEventProgress, 0, count);
        } else {
            Notify(direction == kDirectionOut ? kEventSending : kEventReceived,
                   reinterpret_cast<intptr_t>(data), count);
        }
    };
    // A wait begins or ticks: Esc waiting raises EUserAbort, else the owner hears of the wait.
    socket_->OnWait = [this](TWinSocket&, int, int) {
        if (CheckForKey(VK_ESCAPE)) throw EUserAbort(kItemFailure, "", "SocketWait");
        Notify(kEventWaiting, 0, 0);
    };
    socket_->OnState = [this](TWinSocket&, SocketState from, SocketState to) {
        log_.Write(kLogAction,
                   FormatText("Socket: %s -> %s", {SocketStateName(from), SocketStateName(to)}));
    };
}

int TNntpConnection::Notify(int kind, intptr_t param1, intptr_t param2) const {
    return events_ ? events_(kind, param1, param2) : 0;
}

void TNntpConnection::Open() {
    ahead_.clear();
    const std::string& host = account_.Url.HostName;
    log_.Write(kLogConnection, FormatText("Connecting to \"%s:%d\"", {host, account_.Url.Port}));
    Notify(kEventStatus, kMsgConnecting, reinterpret_cast<intptr_t>(host.c_str()));
    socket_->GetSockAddress(host, account_.Url.Port);
    const bool fromFirstByte = account_.Secure == kTlsFromFirstByte;
    socket_->Tls = {fromFirstByte, account_.TrustedCertificate};
    socket_->SocketConnect("", 0);
    if (fromFirstByte) {
        log_.Write(kLogConnection,
                   FormatText("TLS with certificate SHA-256 %s", {socket_->PeerFingerprint()}));
    }
}

TNntpStatus TNntpConnection::ReadGreeting() {
    TNntpStatus greeting = WaitStatus(kLogCommand, "ConnectHostDef");
    loggedIn_ = false;
    readerModeSent_ = false;
    startTlsSent_ = false;
    noTlsReason_.clear();
    compressionAsked_ = false;
    capabilities_ = TCapabilities{};
    postingAllowed_ = greeting.Code == kReplyPostingAllowed;
    return greeting;
}

void TNntpConnection::Disconnect() {
    log_.Write(kLogConnection, FormatText("Disconnecting from \"%s\"", {account_.Url.HostName}));
    ahead_.clear();
    socket_->SocketClose();
}

void TNntpConnection::Send(const std::string& line, int level) {
    socket_->WriteLine(line);
    log_.Write(level, "> " + line);  // the log masks an AUTHINFO PASS argument
}

bool TNntpConnection::ReadLine(std::string& line, int level) {
    const int taken = socket_->ReadLine(line);
    lastLine_.assign(line);
    if (log_.Wants(level)) log_.Write(level, "< " + line);  // no copy of every line unlogged
    return taken != 0;
}

TNntpStatus TNntpConnection::Command(const std::string& line, int level, int flags) {
    if (!ahead_.empty()) DiscardAheadReplies();
    Send(line, level);
    TNntpStatus status = WaitStatus(level, "SendCommand", flags | kKeepReply);
    const auto resend = [&] {
        Send(line, level);
        return WaitStatus(level, "SendCommand", flags | kKeepReply);
    };
    if (!line.starts_with("AUTHINFO")) status = ReplayAfterLogin(std::move(status), flags, resend);
    status = ReplayInReaderMode(std::move(status), resend);
    if ((flags & kKeepReply) == 0) Check(status, "SendCommand");
    return status;
}

TNntpStatus TNntpConnection::ReplayAfterLogin(TNntpStatus status, int flags,
                                              const std::function<TNntpStatus()>& resend) {
    if (status.Code != kReplyLoginRequired) return status;
    if (LogInOnDemand(flags)) status = resend();
    // Asking again cannot help: the command is refused, not failed for a while.
    if (status.Code == kReplyLoginRequired && (flags & kKeepReply) == 0) {
        throw EInternetError(static_cast<uint32_t>(status.Code) | kRefused, status.Line,
                             "SendCommand");
    }
    return status;
}

TNntpStatus TNntpConnection::WaitStatus(int level, const std::string& procName, int flags) {
    TNntpStatus status;
    if (!ReadLine(status.Line, level)) RaiseConnectionLost(procName);
    status.Code = ReplyCodeOf(status.Line);
    if (status.Code == kNoStatusCode) RaiseNotAStatusLine(status.Line, procName);
    if ((flags & kKeepReply) == 0) Check(status, procName);
    return status;
}

DataLine TNntpConnection::ReadDataLine(std::string& line) {
    if (!ReadLine(line, kLogData)) return DataLine::Lost;
    if (line == ".") return DataLine::End;
    if (line.starts_with("..")) line.erase(0, 1);
    return DataLine::Data;
}

void TNntpConnection::Check(const TNntpStatus& status, const std::string& procName) {
    const uint32_t errorClass = ReplyErrorClass(status.Code);
    if (errorClass == 0) return;
    if (ReplyClosesConnection(status.Code)) socket_->SocketClose();
    throw EInternetError(static_cast<uint32_t>(status.Code) | errorClass, status.Line, procName);
}

void TNntpConnection::RaiseConnectionLost(const std::string& procName) {
    constexpr uint32_t code = platform::kWsaConnReset;
    socket_->SocketClose();
    log_.Write(kLogConnection, "Connection closed by the server");
    throw ESocketError(code | SocketErrorClass(code), SocketErrorText(code), procName);
}

void TNntpConnection::RaiseNotAStatusLine(const std::string& line, const std::string& procName) {
    constexpr uint32_t code = platform::kWsaConnReset;
    socket_->SocketClose();
    const std::string shown =
        line.size() > kShownLineLength ? line.substr(0, kShownLineLength) + "..." : line;
    const std::string message = FormatText(GetMsg(kMsgNotAStatusLine), {VisibleText(shown)});
    log_.Write(kLogConnection, message);
    throw ESocketError(code | SocketErrorClass(code), message, procName);
}

void TNntpConnection::RaiseAndClose(const std::string& message, const std::string& procName) {
    socket_->SocketClose();
    throw EInternetError(kRefused, message, procName);
}

}  // namespace kestrova

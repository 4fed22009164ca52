#include "news/news_internet_manager.h"

#include <charconv>
#include <system_error>

#include "common/errors.h"
#include "common/format_text.h"
#include "common/text_utils.h"
#include "net/socket_error_text.h"
#include "news/article_index.h"
#include "news/group_list.h"
#include "news/group_record.h"
#include "news/reply_codes.h"
#include "platform/winsock_errors.h"
#include "ui/console_keys.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"

namespace kestrova {

namespace {

constexpr int kQuietAction = 0x100;  // an action that is not logged

std::string LogFileOption() {
    return Options.Connect.CreateLog != 0 ? Options.Connect.LogFile : std::string();
}

intptr_t TextParam(const char* text) {
    return reinterpret_cast<intptr_t>(text);
}

const char* StateName(NewsState state) {
    switch (state) {
        case NewsState::AllGroups:
            return "all groups";
        case NewsState::OwnGroups:
            return "own groups";
        case NewsState::InGroup:
            return "in group";
        case NewsState::Posting:
            return "posting";
    }
    return "?";
}

}  // namespace

TNewsInternetManager::TNewsInternetManager(HANDLE owner) : TNewsInternetManager(owner, NoSocket{}) {
    AttachSocket(CreateSocket());
}

TNewsInternetManager::TNewsInternetManager(HANDLE owner, NoSocket)
    : TInternetManager(owner, Options.Connect.CacheLife, LogFileOption()) {
    Delimiter = '.';
}

TNewsInternetManager::~TNewsInternetManager() {
    if (Socket) Disconnect();
}

void TNewsInternetManager::AttachSocket(std::unique_ptr<TWinSocket> socket) {
    Socket = std::move(socket);
    Socket->OnData = [this](TWinSocket&, int direction, int count, const char* data) {
        OnSocketData(direction, count, data);
    };
    Socket->OnWait = [this](TWinSocket&, int, int) { OnSocketWait(); };
    Socket->OnState = [this](TWinSocket&, SocketState from, SocketState to) {
        WriteLog(kLogAction,
                 FormatText("Socket: %s -> %s", {SocketStateName(from), SocketStateName(to)}));
    };
}

std::unique_ptr<TWinSocket> TNewsInternetManager::CreateSocket() {
    return std::make_unique<TWinSocket>(Options.Connect.ServerTimeout, kNewsSocketBufferSize);
}

void TNewsInternetManager::SetState(NewsState state) {
    if (state == State) return;
    WriteLog(kLogAction, FormatText("State: %s -> %s", {StateName(State), StateName(state)}));
    State = state;
}

void TNewsInternetManager::Connect(const TAccountOptions& account) {
    Disconnect();
    Account = account;
    if (IsSecureNewsScheme(Account.Url.Scheme)) Account.Secure = 1;
    if (Account.Secure && !IsSecureNewsScheme(Account.Url.Scheme)) Account.Url.Scheme = "nntps";
    if (Account.Url.Port == 0) Account.Url.Port = Account.Secure ? kSecureNewsPort : kNewsPort;
    SetPath(".");
    ServerFlags = 1;
    SetState(NewsState::OwnGroups);
    ConnectHostDef();
    LoadCache(*Cache, Account.Url.UserName, Account.Url.HostName, CachePort());
}

uint16_t TNewsInternetManager::CachePort() const {
    return Account.Url.Port == kNewsPort ? 0 : Account.Url.Port;
}

void TNewsInternetManager::OpenConnection() {
    const std::string& host = Account.Url.HostName;
    WriteLog(kLogConnection, FormatText("Connecting to \"%s:%d\"", {host, Account.Url.Port}));
    DoEvent(kEventStatus, kMsgConnecting, TextParam(host.c_str()));
    Socket->GetSockAddress(host, Account.Url.Port);
    Socket->Tls = {Account.Secure != 0, Account.TrustedCertificate};
    Socket->SocketConnect("", 0);
    if (Account.Secure) {
        WriteLog(kLogConnection,
                 FormatText("TLS with certificate SHA-256 %s", {Socket->PeerFingerprint()}));
    }
}

void TNewsInternetManager::ConnectHostDef() {
    ahead_.clear();
    OpenConnection();
    const int greeting = WaitReply(*Socket, kLogCommand, "ConnectHostDef", 0);
    // Only now is the server there: a refused or failed connection never reads "Connected".
    DoEvent(kEventStatus, kMsgConnected, TextParam(ReplyLine.c_str()));
    if (greeting == kReplyPostingAllowed) ServerFlags |= kServerAllowsPosting;
    if (greeting == kReplyPostingProhibited)
        ServerFlags &= static_cast<uint8_t>(~kServerAllowsPosting);

    LoggedIn = false;
    if (!Account.Url.UserName.empty()) LogIn();

    if (State == NewsState::InGroup) {
        try {
            SetDirectory(GroupItemName(GetPath()));
        } catch (const Exception& failure) {
            WriteLog(kLogConnection,
                     FormatText("Cannot enter \"%s\" again: %s", {GetPath(), failure.Message}));
            SetState(NewsState::OwnGroups);
            SetPath(".");
            Socket->SocketClose();
        }
    }
}

void TNewsInternetManager::Disconnect() {
    WriteLog(kLogConnection, FormatText("Disconnecting from \"%s\"", {Account.Url.HostName}));
    ahead_.clear();
    Socket->SocketClose();
}

int TNewsInternetManager::SendCommand(TWinSocket& socket, const std::string& command, int level,
                                      int flags, const std::string& argument) {
    if (!ahead_.empty()) DiscardAheadReplies();
    const int sent = TInternetManager::SendCommand(socket, command, level, flags, argument);
    if ((flags & kWaitForReply) == 0) return sent;
    int code = WaitReply(socket, level, "SendCommand", flags | kKeepReply);
    if (code == kReplyLoginRequired && !command.starts_with("AUTHINFO")) {
        if (LogInOnDemand(flags)) {
            TInternetManager::SendCommand(socket, command, level, flags, argument);
            code = WaitReply(socket, level, "SendCommand", flags | kKeepReply);
        }
        // Asking again cannot help: the command is refused, not failed for a while.
        if (code == kReplyLoginRequired && (flags & kKeepReply) == 0) {
            RaiseError(static_cast<uint32_t>(code) | kRefused, ReplyLine, "SendCommand");
        }
    }
    if ((flags & kKeepReply) == 0) CheckReply("SendCommand");
    return code;
}

int TNewsInternetManager::ReadReply(TWinSocket& socket, int level) {
    const int taken = TInternetManager::ReadReply(socket, level);
    LineLost = taken == 0;
    ReplyCode = LineLost ? kNoStatusCode : ReplyCodeOf(ReplyLine);
    return ReplyCode;
}

int TNewsInternetManager::WaitReply(TWinSocket& socket, int level, const std::string& procName,
                                    int flags) {
    for (int skipped = 0; ReadReply(socket, level) == kNoStatusCode; ++skipped) {
        if (LineLost) RaiseConnectionLost(procName);
        if (skipped == kMaxLinesBeforeStatus) {
            Socket->SocketClose();
            RaiseError(kRefused, FormatText(GetMsg(kMsgNoStatusLine), {kMaxLinesBeforeStatus}),
                       procName);
        }
    }
    if ((flags & kKeepReply) == 0) CheckReply(procName);
    return ReplyCode;
}

DataLine TNewsInternetManager::ReadDataLine(TWinSocket& socket, std::string& line) {
    ReadReply(socket, kLogData);
    if (LineLost) return DataLine::Lost;
    if (ReplyLine == ".") return DataLine::End;
    line = ReplyLine.starts_with("..") ? ReplyLine.substr(1) : ReplyLine;
    return DataLine::Data;
}

void TNewsInternetManager::CheckReply(const std::string& procName) {
    const uint32_t errorClass = ReplyErrorClass(ReplyCode);
    if (errorClass == 0) return;
    if (ReplyClosesConnection(ReplyCode)) Socket->SocketClose();
    RaiseError(static_cast<uint32_t>(ReplyCode) | errorClass, ReplyLine, procName);
}

void TNewsInternetManager::RaiseConnectionLost(const std::string& procName) {
    constexpr uint32_t code = platform::kWsaConnReset;
    Socket->SocketClose();
    WriteLog(kLogConnection, "Connection closed by the server");
    throw ESocketError(code | SocketErrorClass(code), SocketErrorText(code), procName);
}

void TNewsInternetManager::SetPath(const std::string& path) {
    Path = path;
}

void TNewsInternetManager::WriteLog(int level, const std::string& text) {
    if (Options.Connect.CreateLog == 0) return;
    if (static_cast<unsigned>(level) > static_cast<unsigned>(Options.Connect.LogLevel)) return;
    TInternetManager::WriteLog(level, text);
}

void TNewsInternetManager::WriteLogStream(int level, const std::string& title, TStream& stream) {
    if (Options.Connect.CreateLog == 0) return;
    if (static_cast<unsigned>(level) > static_cast<unsigned>(Options.Connect.LogLevel)) return;
    TInternetManager::WriteLogStream(level, title, stream);
}

void TNewsInternetManager::SetDirectory(const std::string& name) {
    if (name.size() == 1 && name[0] == Delimiter) return;
    const std::string group = GroupOfItem(name);
    switch (State) {
        case NewsState::OwnGroups:
            if (name == "..") throw EInternetLeave();
            SelectGroup(group);
            SetState(NewsState::InGroup);
            UpdateGroup = 1;
            SetPath(group);
            return;
        case NewsState::InGroup:
            if (name == "..") {
                SetPath(".");
                SetState(NewsState::OwnGroups);
                return;
            }
            SelectGroup(group);
            if (CompareTextOem(group, Path) != 0) UpdateGroup = 1;
            SetPath(group);
            return;
        case NewsState::AllGroups:
        case NewsState::Posting:
            return;  // the all-groups view is left through its keys only
    }
}

void TNewsInternetManager::SelectGroup(const std::string& name) {
    DoEvent(kEventTitle, 0, TextParam(GetMsg(kMsgEnteringGroup)));
    SendCommand(*Socket, "GROUP", kLogCommand, kWaitForReply, name);
    GroupRange = TGroupRange{};
    if (ReplyCode != kReplyGroupSelected) return;
    // "211 count low high group"; a line that does not read so leaves no range.
    int64_t numbers[3];
    const char* at = ReplyLine.data() + 3;
    const char* end = ReplyLine.data() + ReplyLine.size();
    for (int64_t& number : numbers) {
        while (at < end && *at == ' ') ++at;
        const auto [next, error] = std::from_chars(at, end, number);
        if (error != std::errc()) return;
        at = next;
    }
    GroupRange = TGroupRange{numbers[1], numbers[2], numbers[0]};
}

void TNewsInternetManager::StartAction(int action) {
    Socket->AcquireWindow();
    if ((action & kQuietAction) == 0) {
        WriteLog(kLogAction, FormatText("Start action: %8x", {action}));
    }
}

void TNewsInternetManager::StopAction(int action) {
    if ((action & kQuietAction) == 0) {
        WriteLog(kLogAction, FormatText("Stop action: %8x", {action}));
    }
    Socket->ReleaseWindow();
}

void TNewsInternetManager::GetFindData(PluginPanelItem*& items, int& count) {
    items = nullptr;
    count = 0;
    switch (State) {
        case NewsState::AllGroups:
            DoEvent(kEventStatus, kMsgGroupsTitle, TextParam(GetMsg(kMsgPleaseWait)));
            GetGroupsInfo(*this, items, count);
            return;
        case NewsState::OwnGroups:
            GetGroupsInfo(*this, items, count);
            if (count == 0) {
                DoEvent(kEventMessageBox, kMsgNoGroups, TextParam(GetMsg(kMsgNoGroupsHint)));
            }
            return;
        case NewsState::InGroup:
            GetArticlesInfo(*this, GetPath(), items, count);
            return;
        case NewsState::Posting:
            return;
    }
}

void TNewsInternetManager::OnSocketData(int direction, int count, const char* data) {
    if (State == NewsState::Posting) {
        DoEvent(kEventProgress, 0, count);
    } else if (direction == kDirectionOut) {
        DoEvent(kEventSending, TextParam(data), count);
    } else {
        DoEvent(kEventReceived, TextParam(data), count);
    }
}

void TNewsInternetManager::OnSocketWait() {
    if (CheckForKey(VK_ESCAPE)) throw EUserAbort(kItemFailure, "", "SocketWait");
    DoEvent(kEventWaiting, 0, 0);
}

}  // namespace kestrova

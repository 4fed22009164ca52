// The internet-mode manager of one NNTP server connection: connects and logs in, sends commands
// and reads their status lines, turns unwanted status codes into errors, and keeps the state that
// decides what the panel shows (the groups matching a mask, the user's own groups, or the
// articles of one group). The listings themselves live in group_list.h and article_index.h.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"
#include "news/internet_manager.h"
#include "news/list_block.h"
#include "ui/account_options.h"

namespace kestrova {

struct TKeyContext;

// The article numbers of the current group, from the status line of GROUP.
struct TGroupRange {
    int64_t Low = 1;
    int64_t High = 0;   // below Low: no articles, or not known
    int64_t Count = 0;  // the server's estimate of the articles in the group
};

// What the panel shows; see SetState.
enum class NewsState : uint8_t {
    AllGroups = 0,  // the server's groups that match GroupMask; Path holds the mask
    OwnGroups = 1,  // the user's own groups; Path is "."
    InGroup = 2,    // the articles of the group named by Path
    Posting = 3,    // an article is being sent
};

// Send block size of the manager's socket.
inline constexpr int kNewsSocketBufferSize = 1024;

// Bit of ServerFlags: the server allows posting.
inline constexpr uint8_t kServerAllowsPosting = 2;

// Bits of SendCommand's and WaitReply's Flags.
inline constexpr int kWaitForReply = 1;  // wait for the status line (SendCommand)
inline constexpr int kKeepReply = 2;     // leave the code to the caller: no CheckReply
// A 480 to this command logs in only when the account has credentials; without them it is the
// server's refusal of the command (a reader that needs no login may still be refused NEWNEWS).
inline constexpr int kLoginOnlyWithCredentials = 4;

// Key actions of ProcessKey besides the registry manager's (store/registry_manager.h).
inline constexpr int kActionRefresh = 1;
inline constexpr int kActionChooseCharset = 10;
inline constexpr int kActionGroups = 258;  // add the selected groups, or ask for a mask
inline constexpr int kActionDropGroups = 259;
inline constexpr int kActionReply = 260;
inline constexpr int kActionNewArticle = 261;
inline constexpr int kActionViewHeader = 262;
inline constexpr int kActionReload = 263;
inline constexpr int kActionViewBody = 264;
inline constexpr int kActionAskMask = 265;

// The key action of key (virtual-key code, control bits PKF_*) in state; 0 when none.
int NewsKeyAction(NewsState state, int key, unsigned controlState);

// The most lines that may come before a status line; past them the exchange is out of step.
inline constexpr int kMaxLinesBeforeStatus = 100;

// How a line of a multi-line data block came out.
enum class DataLine {
    Data,  // a data line, un-stuffed
    End,   // the terminating "." line: the block is complete
    Lost,  // the connection ended before the block did
};

class TNewsInternetManager : public TInternetManager {
  public:
    // Uses the options CacheLife and, when CreateLog is set, LogFile; creates the socket.
    explicit TNewsInternetManager(HANDLE owner);
    ~TNewsInternetManager() override;

    // Request 1: closes any connection, takes a copy of account (port 0 means 119, or 563 with
    // TLS: Secure, or the scheme "nntps"), starts in
    // the own-groups view, connects and logs in, then loads the account's cache file. Raises
    // what ConnectHostDef raises.
    void Connect(const TAccountOptions& account);
    // Request 2 (and the second half of Connect): connects, checks the greeting (200 allows
    // posting, 201 forbids it), logs in when the account has a user name, and enters the
    // current group again when the panel is inside one (falling back to the own groups when
    // that fails). Raises ESocketError, EUserAbort ("SocketWait") or EInternetError
    // ("ConnectHostDef") for a refused greeting.
    void ConnectHostDef();
    // Sends AUTHINFO USER and, when the server asks for it and the account has one, AUTHINFO
    // PASS. True when the server accepted the login. A refused user name or password (481, 482)
    // offers the login dialog again (kEventLogin) and tries the new ones; declined, it aborts
    // silently; when nobody can be asked it raises EInternetError (code | kRefused, "LogIn").
    bool LogIn();
    // The server answered 480 to a command: logs in with the account's credentials, asking for
    // them (kEventLogin) when the account lacks them. False when a login cannot help: one has
    // already succeeded on this connection, flags hold kLoginOnlyWithCredentials and the account
    // has none, or nobody could be asked. A declined dialog aborts silently.
    bool LogInOnDemand(int flags);
    // Logs and closes the socket; no command is sent.
    void Disconnect();
    // Slot 11: resolves the account's host and connects the socket, with TLS when the account
    // is Secure. Raises the socket's failures (ECertificateError for a refused certificate).
    virtual void OpenConnection();
    // Slot 12: the socket the manager talks through.
    virtual std::unique_ptr<TWinSocket> CreateSocket();

    // Slot 2: sends the line; with kWaitForReply in flags the result is WaitReply's code (and
    // kKeepReply leaves the code unchecked), otherwise the bytes sent. A 480 (login required)
    // logs in (LogInOnDemand) and sends the line once more; a 480 that a login cannot answer
    // raises EInternetError 480 as a refusal (no retry) unless kKeepReply leaves it to the caller.
    int SendCommand(TWinSocket& socket, const std::string& command, int level, int flags,
                    const std::string& argument) override;
    // Slot 3: reads one line into ReplyLine; sets and returns ReplyCode (kNoStatusCode for a
    // line that is not a status line, or when the connection ended: see LineLost).
    int ReadReply(TWinSocket& socket, int level) override;
    // Reads lines until one is a status line, then checks it by CheckReply(procName) unless
    // flags holds kKeepReply; returns ReplyCode. Raises ESocketError 10054 with procName when
    // the connection ends before a status line came (instead of waiting for ever), and closes
    // the socket and raises EInternetError kRefused when kMaxLinesBeforeStatus lines came
    // without one.
    int WaitReply(TWinSocket& socket, int level, const std::string& procName, int flags);
    // Reads the next line of a multi-line data block at level kLogData. A data line that
    // begins with ".." loses its first dot, so the text comes out as the author wrote it.
    DataLine ReadDataLine(TWinSocket& socket, std::string& line);
    // Returns when ReplyCode is an accepted code; otherwise raises EInternetError with the code
    // and its class bit (reply_codes.h), ReplyLine and procName. For 400 and 503 the socket is
    // closed first, so the next request reconnects.
    void CheckReply(const std::string& procName);
    // Raises ESocketError 10054 (transient) with procName: the server closed the connection.
    [[noreturn]] void RaiseConnectionLost(const std::string& procName);

    // Slot 0: stores path as it is: a group's name is the whole path, a trailing dot included.
    void SetPath(const std::string& path) override;

    // Commands sent ahead of their replies (command_pipeline.cpp), for the article commands
    // HEAD, NEXT, ARTICLE and BODY. The replies come in the order the commands went out. Any
    // command sent with SendCommand first reads and drops the replies still ahead of it; a new
    // connection forgets them. Callers keep at most the pipeline depth option's count ahead.
    //
    // Logs the line at level and sends it with the socket's next read or send, beside the
    // other commands ahead (see TWinSocket::HoldLine); its reply is left for ReadAheadReply.
    void SendAhead(const std::string& command, const std::string& argument, int level);
    // Reads the status line of the oldest command ahead, as SendCommand with kWaitForReply
    // does: a 480 drops the replies after it, logs in and sends it and those after it again.
    // Raises what SendCommand raises.
    int ReadAheadReply(int flags);
    // Reads and drops the replies, data blocks included, of the count oldest commands ahead
    // (all of them by default). A failure closes the socket, forgets the rest and is passed on.
    void DiscardAheadReplies(size_t count = static_cast<size_t>(-1));
    // Drops the replies of the commands ahead of line; true when line itself went out ahead, so
    // that its reply is the next one, false when it did not (every reply ahead dropped).
    bool DropAheadUntil(const std::string& line);
    // The command lines sent ahead whose replies are still to be read.
    size_t CommandsAhead() const { return ahead_.size(); }
    bool IsAhead(const std::string& line) const;

    // Slots 4 and 5: only when the option CreateLog is set and level <= LogLevel.
    void WriteLog(int level, const std::string& text) override;
    void WriteLogStream(int level, const std::string& title, TStream& stream) override;

    // Slot 6: "." does nothing; in the own groups ".." leaves internet mode (EInternetLeave)
    // and a name enters that group (GROUP; an error status raises); inside a group ".." returns
    // to the own groups without a command and a name enters another group. Nothing happens in
    // the all-groups and posting states.
    void SetDirectory(const std::string& name) override;
    // Slot 8: the shortcut descriptor, panel flags, key-bar labels per state and, when the
    // option ReplaceModes is set, the one panel mode with its column titles.
    void GetOpenPluginInfo(OpenPluginInfo& info, std::string& descriptor) override;
    // Slots 9 and 10: hold the socket's event source for the whole panel action, and log the
    // action unless it has bit 0x100.
    void StartAction(int action) override;
    void StopAction(int action) override;
    // Slot 13: maps the key to an action (NewsKeyAction). Actions 9, 260, 261, 262 and 264 are
    // left to the panel (false); the others are carried out here (true), setting the context's
    // redraw and update bits when they changed something.
    virtual bool ProcessKey(int key, unsigned controlState, TKeyContext& context, int& action);

    // Request 0x8001: the items of the current level in a new array (empty first).
    void GetFindData(PluginPanelItem*& items, int& count);
    // Request 0x8103 (post_message.cpp): sends headers (may be empty: body is then a complete
    // article) and body with POST, in CR LF lines with dot-stuffing. Nothing is sent for an empty
    // body, or when POST is answered with another accepted code than 340. Raises EInternetError
    // kRefused (message 63) at once when the server forbids posting, the server's refusal
    // ("SendCommand" for POST, "PostMessage" for the article), and the socket's failures while
    // sending. A failure after the whole article was sent, before the server's answer, becomes
    // EInternetError kItemFailure ("PostMessage", message 152): it may have been posted, so it
    // is never retried by itself.
    void PostMessage(TStream& headers, TStream& body);

    // The port that names the account's cache file: 0 for the default port 119, whose files
    // keep the name they had before other ports were told apart.
    uint16_t CachePort() const;
    // Every state change goes through here and is logged.
    void SetState(NewsState state);
    // The shortcut text that reopens this account (the format of ShortcutData).
    std::string ShortcutDescriptor() const;

    NewsState State = NewsState::AllGroups;
    TAccountOptions Account;
    uint8_t ServerFlags = 1;
    std::string GroupMask = "*";
    int ReloadGroupList = 0;
    int UpdateGroup = 0;
    // True when the last ReadReply found the connection ended instead of a line.
    bool LineLost = false;
    // The server accepted a login on this connection.
    bool LoggedIn = false;
    // The server refused NEWNEWS in this session: new articles are asked for by number.
    bool NewNewsRefused = false;
    // The most records one listing takes from the server (list_block.h).
    int64_t ListLimit = kMaxListRecords;
    TGroupRange GroupRange;

  protected:
    struct NoSocket {};
    // For subclasses whose socket needs their own fields: they call AttachSocket themselves.
    TNewsInternetManager(HANDLE owner, NoSocket);
    // Takes socket and routes its data and wait notifications to this manager.
    void AttachSocket(std::unique_ptr<TWinSocket> socket);

  private:
    // Sends GROUP name (an error status raises) and keeps the range it gives.
    void SelectGroup(const std::string& name);
    void OnSocketData(int direction, int count, const char* data);
    // A wait begins or ticks: Esc waiting raises EUserAbort, else the panel hears of the wait.
    void OnSocketWait();
    void SetKeyBar() const;
    void SetPanelMode(OpenPluginInfo& info);
    // The key actions that the manager carries out; true when something changed.
    bool Refresh();
    bool ChooseCharset();
    bool GroupsAction(TKeyContext& context);
    bool Reload();

    struct AheadCommand {
        std::string line;
        int level;
    };

    PanelMode panelMode_{};
    std::vector<const char*> columnTitles_;
    std::deque<AheadCommand> ahead_;
};

}  // namespace kestrova

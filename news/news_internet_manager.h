// The session of one news server that a connected panel owns: the state that decides what the
// panel shows (the groups matching a mask, the user's own groups, or the articles of one group),
// its key actions and what it tells the host about itself. It sits on the connection
// (nntp_connection.h), the account's cache (account_cache.h) and the listings (group_list.h,
// article_index.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"
#include "news/account_cache.h"
#include "news/article_index.h"
#include "news/article_retrieval.h"
#include "news/group_list.h"
#include "news/internet_manager.h"
#include "news/nntp_connection.h"
#include "news/read_marks.h"
#include "ui/account_options.h"

namespace kestrova {

class TStream;
struct TKeyContext;

// What the panel shows; see SetState.
enum class NewsState : uint8_t {
    AllGroups = 0,  // the server's groups that match the group mask; Path holds the mask
    OwnGroups = 1,  // the user's own groups; Path is "."
    InGroup = 2,    // the articles of the group named by Path
    Posting = 3,    // an article is being sent
};

// Key actions of ProcessKey besides the panel's own (ui/key_context.h).
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
inline constexpr int kActionThreadView = 266;    // the thread view on or off
inline constexpr int kActionSelectThread = 267;  // select the current article's thread
inline constexpr int kActionMarkRead = 268;      // the selected articles
inline constexpr int kActionMarkUnread = 269;    // the selected articles
inline constexpr int kActionCatchUp = 270;       // the selected groups, or the group entered
inline constexpr int kActionNewsrcMenu = 271;    // import or export a .newsrc file
inline constexpr int kActionGoOnline = 272;      // offline: try the server again (the panel's)
inline constexpr int kActionLoadOlder = 273;     // list the older articles a first entry left out

// The key action of key (virtual-key code, control bits PKF_*) in state; 0 when none.
int NewsKeyAction(NewsState state, int key, unsigned controlState);

class TNewsInternetManager : public TInternetManager {
  public:
    // Uses the options CacheLife and, when CreateLog is set, LogFile; creates the socket.
    explicit TNewsInternetManager(HANDLE owner);
    ~TNewsInternetManager() override;

    // Takes a copy of account: port 0 means 119, or 563 with TLS from the first byte (Secure,
    // or the scheme "nntps"; either sets the other). STARTTLS keeps the plain port and scheme.
    void SetAccount(const TAccountOptions& account);
    // Closes any connection, takes account (SetAccount), starts in the own-groups view,
    // connects and logs in, then loads the account's cache file. Raises what ConnectHostDef
    // raises.
    void Connect(const TAccountOptions& account);
    // Connects, checks the greeting (200 allows posting, 201 forbids it), asks what the server
    // offers (reader mode when it needs one), logs in when the account has a user name, and enters
    // the current group again when the panel is inside one (falling back to the own groups when
    // that fails). Raises ESocketError, EUserAbort
    // ("SocketWait") or EInternetError ("ConnectHostDef") for a refused greeting.
    void ConnectHostDef();
    // Logs and closes the socket; no command is sent.
    void Disconnect();
    // Opens the connection (TNntpConnection::Open); a proxy session adds its own failures.
    virtual void OpenConnection();
    // The socket the session talks through.
    virtual std::unique_ptr<TWinSocket> CreateSocket();

    // Stores path as it is: a group's name is the whole path, a trailing dot included.
    void SetPath(const std::string& path) override;
    // "." does nothing; in the own groups ".." leaves internet mode (EInternetLeave) and a name
    // enters that group (GROUP; an error status raises); inside a group ".." returns to the own
    // groups without a command and a name enters another group. Nothing happens in the
    // all-groups and posting states. But for ".", the cache's changes not written yet are written.
    void SetDirectory(const std::string& name) override;
    bool IsConnected() override { return connection_.IsConnected(); }

    // Goes on without the server (it could not be reached): the account's cache file is loaded
    // when nothing is cached yet (a failed Connect), and from now on listings show only what is
    // cached, articles come from the article cache, and what needs the server raises
    // (RequireServer), until GoOnline reaches the server.
    void WorkOffline();
    // Offline: connects again (entering the group the panel is in) and, once the server
    // answers, works online, the listing asking for what came meanwhile. A failure closes the
    // connection, stays offline and passes on.
    void GoOnline();
    bool Offline() const { return offline_; }
    // Whether there is a cache to work offline from (in memory or the account's file).
    bool CanWorkOffline();
    // Raises EInternetError kRefused (message 36, procName) when working offline.
    void RequireServer(const char* procName) const;
    // The shortcut descriptor, panel flags, key-bar labels per state and, when the option
    // ReplaceModes is set, the one panel mode with its column titles.
    void GetOpenPluginInfo(OpenPluginInfo& info, std::string& descriptor) override;
    // Hold the socket's event source for the whole panel action, and log the action unless it
    // has bit 0x100.
    void StartAction(int action) override;
    void StopAction(int action) override;
    // Maps the key to an action (NewsKeyAction). Actions 9, 260, 261, 262 and 264 are left to
    // the panel (false); the others are carried out here (true), setting the context's redraw
    // and update bits when they changed something.
    virtual bool ProcessKey(int key, unsigned controlState, TKeyContext& context, int& action);

    // The items of the current level in a new array (empty first).
    void GetFindData(PluginPanelItem*& items, int& count);
    // Sends headers (may be empty: body is then a complete article) and body with POST
    // (post_message.cpp), in CR LF lines with dot-stuffing. Nothing is sent for an empty body.
    // POST answered with another accepted code than 340 closes the connection and raises
    // EInternetError kRefused ("PostMessage", message 168): the article was not sent. Raises
    // EInternetError kRefused (message 63) at once when the server forbids posting, the refusal
    // of the server ("SendCommand" for POST, "PostMessage" for the article), and the socket's
    // failures while sending. A failure after the whole article was sent, before the answer,
    // becomes EInternetError kItemFailure ("PostMessage", message 152): it may have been posted,
    // so it is never retried by itself.
    void PostMessage(TStream& headers, TStream& body);

    // Every state change goes through here and is logged.
    void SetState(NewsState state);
    NewsState State() const { return state_; }
    // The all-groups view of the groups matching mask.
    void ShowServerGroups(const std::string& mask);
    // The all-groups view's next listing asks the server first.
    void SetReloadGroupList(bool reload) { groups_.Reload = reload; }
    bool ReloadGroupList() const { return groups_.Reload; }
    // The most records one listing takes from the server (list_block.h).
    void SetListLimit(int64_t limit);
    bool NewNewsRefused() const { return index_.NewNewsRefused; }
    // What the panel's title adds inside a group whose older articles the first entry left out
    // ("newest 5000 of 120000"); empty otherwise.
    std::string TitleNote() const;
    // Whether a group's articles are listed by thread (off: by number, the default).
    bool ThreadView() const { return threadView_; }
    // The shortcut text that reopens this account (the format of ShortcutData).
    std::string ShortcutDescriptor() const;

    const TAccountOptions& Account() const { return account_; }
    // The author's e-mail address the user gave when posting asked for it.
    void SetSenderAddress(const std::string& address) { account_.FromAddr = address; }
    TNntpConnection& Connection() { return connection_; }
    // Imports the .newsrc file fileName (at most its first 16 MiB): its ":" groups become own
    // groups, every group's ranges its read marks; says how many lines were skipped. True when
    // the own groups changed. Raises EFOpenError for a file that cannot be read, ERegistryError
    // when the store cannot keep the marks.
    bool ImportNewsrc(const std::string& fileName);
    // Writes the own groups (":") and the other groups with read marks ("!") to fileName, in
    // name order. Raises EFCreateError or EWriteError.
    void ExportNewsrc(const std::string& fileName);
    // The read marks of the account's server.
    TReadMarks& Marks() { return *marks_; }
    // Marks the articles numbered first to last of the group entered read or unread; nothing
    // outside a group. Raises ERegistryError when the store cannot keep the marks.
    void MarkArticles(int64_t first, int64_t last, bool read);
    TAccountCache& Cache() { return cache_; }
    // Fills the columns the overview left empty in the cached record of article of the group
    // entered from its header (FillOverviewColumns); nothing outside a group. Written to the
    // cache file when the group is left, the session ends or Cache().SaveChanges() is called.
    void FillOverviewColumns(const TArticleRef& article, const TArticleHeader& header);
    void WriteLog(int level, const std::string& text) { log_.Write(level, text); }

  protected:
    struct NoSocket {};
    // For subclasses whose socket needs their own fields: they call AttachSocket themselves.
    TNewsInternetManager(HANDLE owner, NoSocket);
    void AttachSocket(std::unique_ptr<TWinSocket> socket);

  private:
    // Sends GROUP name (an error status raises) and keeps the range it gives.
    void SelectGroup(const std::string& name);
    void SetKeyBar() const;
    void SetPanelMode(OpenPluginInfo& info);
    // The key actions that the session carries out (news_keys.cpp); true when something changed.
    bool Refresh();
    bool ChooseCharset();
    bool GroupsAction(TKeyContext& context);
    bool AddGroups(TKeyContext& context);
    bool DropGroups(TKeyContext& context);
    bool AskGroupMask();
    bool Reload();
    // Has the next listing ask for the older articles left out; false when there are none.
    bool LoadOlder();
    bool SelectCurrentThread(TKeyContext& context);
    // The read-mark actions (read_mark_keys.cpp).
    bool MarkSelection(const TKeyContext& context, bool read);
    bool CatchUp(const TKeyContext& context);
    // The .newsrc menu (newsrc_menu.cpp): true when the own groups changed.
    bool NewsrcMenu();

    TSessionLog log_;
    TAccountOptions account_;
    TNntpConnection connection_;
    TAccountCache cache_;
    std::optional<TReadMarks> marks_;
    NewsState state_ = NewsState::AllGroups;
    TGroupQuery groups_;       // the group views: mask, reload, limit
    TIndexQuery index_;        // the group entered: its range, update, limit
    bool threadView_ = false;  // a group's articles are listed by thread
    bool offline_ = false;     // working from the caches alone (WorkOffline)
    PanelMode panelMode_{};
    std::vector<const char*> columnTitles_;
};

}  // namespace kestrova

// The panel object behind one open panel of the module. The host holds it as an opaque handle
// from OpenPlugin (or OpenFilePlugin) until ClosePlugin.
//
// In registry mode the panel shows the stored accounts through its registry manager; in
// internet mode it also owns the manager of one server connection. Every panel entry wraps its
// work in BeginOperation ... EndOperation, reaches the network through ReceiveData, and shows
// any failure once through ReportError, so that no failure returns to the host.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "accounts/news_registry_manager.h"
#include "common/news_url.h"
#include "common/url.h"
#include "hostapi/plugin_api.h"
#include "plugin/far_plugin.h"
#include "ui/post_info.h"

namespace kestrova {

class TNewsInternetManager;
class TStream;
struct TArticleRef;
struct TFindItem;

// The param of the article requests: the article, and those whose same request may go out ahead
// of its reply.
struct TArticleRequest {
    const TArticleRef& Article;
    std::span<const TArticleRef> Following;
};

// Request codes of ReceiveData, BeginOperation and EndOperation. Requests with kNetworkRequest
// need a connection and reconnect a dropped one first.
inline constexpr int kRequestConnect = 1;
inline constexpr int kRequestReconnect = 2;
inline constexpr int kNetworkRequest = 0x8000;
inline constexpr int kRequestList = 0x8001;
inline constexpr int kRequestGetFiles = 0x8002;
inline constexpr int kRequestPutFiles = 0x8003;
inline constexpr int kRequestDeleteFiles = 0x8004;
inline constexpr int kRequestSetDirectory = 0x8005;
inline constexpr int kRequestArticle = 0x8100;
inline constexpr int kRequestHead = 0x8101;
inline constexpr int kRequestBody = 0x8102;
inline constexpr int kRequestPost = 0x8103;  // also the frame of ProcessKey

// Flags of the running operation (OpFlags).
inline constexpr unsigned kOpPercent = 0x100;        // shows a percentage bar
inline constexpr unsigned kOpCounting = 0x200;       // counts items in the panel title
inline constexpr unsigned kOpRunning = 0x10000;      // an operation runs
inline constexpr unsigned kOpInteractive = 0x80000;  // it may talk to the user

// Answers of ResolveFailure and ReceiveData: the message numbers of the buttons, 1 for done and
// 0 for a failure passed on unchanged.
inline constexpr int kAnswerPassOn = 0;
inline constexpr int kAnswerDone = 1;
inline constexpr int kAnswerRetry = 3;
inline constexpr int kAnswerSkip = 10;
inline constexpr int kAnswerStop = 13;
inline constexpr int kAnswerOffline = 38;  // work offline (kMsgWorkOffline)

// The retries of one request: transient failures left before the user is asked, and the wait
// before the next attempt, which doubles after each one up to kMaxRetryDelaySeconds.
inline constexpr int kFirstRetryDelaySeconds = 1;
inline constexpr int kMaxRetryDelaySeconds = 30;
struct TRetryState {
    int Left = 0;
    int DelaySeconds = kFirstRetryDelaySeconds;
};

// Width of the progress box's lines and bar.
inline constexpr int kProgressWidth = 55;

class TNntpPlugin : public TFarPlugin {
  public:
    // Registry mode at the folder the registry manager remembers.
    TNntpPlugin();
    // Closes the connection, gives the host panel its view mode back and lets the registry
    // manager remember its store and folder.
    ~TNntpPlugin() override;

    // ---- Opening (panel_opening.cpp) ----
    // Each reports its own failure (a silent abort shows nothing) and passes it on, so that the
    // entry point gives the host INVALID_HANDLE_VALUE.
    // Shortcut data: "1..." connects to the account it describes, anything else enters the
    // registry folder of its tail. Shorter than 3 characters: a silent abort.
    void OpenShortcut(const std::string& data);
    // The text after "news:"; an empty text or one without a host opens registry mode.
    void OpenCommandLine(const std::string& text);
    // From the disks or plugins menu: registry mode, unless no account is stored and the
    // environment's NNTPSERVER names a server (host[:port], printable, at most 255 bytes), which
    // is then opened as news://NNTPSERVER.
    void OpenFromMenu();
    // Raises EAbort unless data begins with the account file's section header; connects to the
    // file's account when it holds one, else stays in registry mode.
    void OpenFilePlugin(const std::string& name, const unsigned char* data, int dataSize);

    // ---- Mode switch (nntp_plugin.cpp) ----
    // Internet mode for account (none: only closes). AskPassword asks for the credentials
    // first (cancelling is a silent abort). A server certificate that fails verification is
    // shown with the reason, and when the user trusts it its fingerprint goes into the account
    // (and, for an account of the current store folder (stored), into the store) and the
    // connection is tried again. Any failure returns to registry mode and passes on.
    void OpenAccount(TAccountOptions* account, bool stored = false);
    // Back to registry mode at the folder it was in; nothing in registry mode.
    void CloseAccount();
    // kRequestConnect for account, with the trust question of OpenAccount.
    void ConnectTrusting(TAccountOptions& account, bool stored);
    // Recomputes PanelHost, CurDir and PanelTitle for the current mode.
    void UpdateTitle();

    // ---- Operation frame (operation_frame.cpp, receive_data.cpp) ----
    // Starts an operation; returns the flags of the operation it runs inside.
    unsigned BeginOperation(int request, int opMode);
    // Ends it: restores the screen, beeps after a long interactive one when asked to. Never
    // raises.
    void EndOperation(int request, unsigned previous) noexcept;
    // Runs request with the retry, skip and stop rules. Returns 1 done, 10 skipped by the user,
    // 0 for an unknown request; a failure passed on is raised again, a stop is a silent abort.
    // The article requests take a const TArticleRequest* as param and a TStream* as target.
    int ReceiveData(int request, intptr_t param, void* target);
    // ReceiveData for kRequestArticle, kRequestHead or kRequestBody: target is emptied and
    // receives the article's whole text, header or body (news/article_retrieval.h); the same
    // request for the following articles may go out ahead.
    int FetchArticle(int request, const TArticleRef& article, TStream& target,
                     std::span<const TArticleRef> following = {});

    // ---- Panel operations ----
    void GetOpenPluginInfo(OpenPluginInfo& info);
    int GetFindData(PluginPanelItem** items, int* itemsNumber, int opMode);
    void FreeFindData(PluginPanelItem* items, int itemsNumber);
    int GetFiles(PluginPanelItem* items, int itemsNumber, int move, const std::string& destPath,
                 int opMode);
    int PutFiles(PluginPanelItem* items, int itemsNumber, int move, int opMode);
    int SetDirectory(const std::string& dir, int opMode);
    int MakeDirectory(char* name, int opMode);
    int DeleteFiles(PluginPanelItem* items, int itemsNumber, int opMode);
    int ProcessKey(int key, unsigned controlState);
    // Fetches the header (kRequestHead) or body (kRequestBody) of the article of item into a
    // temporary file and shows it in the host's viewer; the file is deleted afterwards, also
    // after a failure. Nothing is shown when the fetch fails or the user skips it.
    void ViewArticlePart(int request, const PluginPanelItem& item);
    // The same for article, titled name in the viewer, which takes keys when given and the host
    // offers them; false when nothing was shown.
    bool ViewArticle(int request, const TArticleRef& article, const std::string& name,
                     const ViewerKeys* keys = nullptr);
    // How the user left the viewer of ReadArticles.
    enum class ReaderMove { Close, Next, Previous, NextUnread, Reply };
    // Shows the articles of the group entered in the viewer from the current item on, moving
    // as the viewer's keys say (article_reader.cpp); the panel cursor follows.
    void ReadArticles(TKeyContext& context);
    // Marks article number of the group entered read; nothing outside internet mode.
    void MarkRead(int64_t number);
    // Enters the group or views the article that an opened URL's path names; a failure is
    // reported and leaves the panel connected.
    void OpenUrlTarget(const TNewsTarget& target);

    // ---- Errors and progress (error_reporting.cpp, resolve_failure.cpp, progress.cpp) ----
    // Shows failure once (signals act instead: leave the module, drop the connection). Returns
    // 1 when opMode is 0 and the failure was not a silent abort, else 0. Never raises.
    int ReportError(std::exception_ptr failure, const char* procName, int opMode);
    // What to do with a failure of the running request: retry (3), skip (10), stop (13) or pass
    // it on (0). retry counts transient failures down to the question and paces their retries.
    int ResolveFailure(std::exception_ptr failure, int request, intptr_t param, void* target,
                       TRetryState& retry);
    // Before a transient failure is retried without asking: a status box naming the failure,
    // the time to the next attempt and Esc, then that wait. Returns 3 (retry) when the time is
    // up, 0 (pass the failure on) when the user pressed Esc.
    int PaceRetry(const std::string& failure, TRetryState& retry);
    // When connecting (request) failed with a socket failure, the user may be asked, and the
    // account has a cache: the failure, the offer to work offline and the buttons Work offline
    // (38), Retry (3) and Stop (13), whose answer is returned; 0 without the question.
    int OfferOffline(const std::string& className, const std::string& failure, int request);
    // Offline: tries the server again (InternetManager->GoOnline); when it cannot be reached the
    // failure is shown and the session stays offline. The caller updates the panel and title.
    void GoOnline();
    // A status box titled PanelHost, when OpFlags has a bit of mask; buttons are message numbers
    // (none: the box stays and the call returns at once). Returns the host's answer, -1 when
    // nothing was shown.
    int ShowStatus(unsigned mask, const std::string& text, std::initializer_list<int> buttons = {},
                   const std::string& extra = {});
    // A transient panel title, when OpFlags has a bit of mask.
    void ShowInTitle(unsigned mask, const std::string& text);
    // Adds amount to Received and redraws the progress at most every 500 ms. A count shows in
    // the panel title from the first unit on, and from 500 ms into the operation on also in the
    // status box, under the operation's last status text.
    void ShowTraffic(int amount);
    // The managers' callback: kinds 1 status, 2 title, 3 question, 5 and 6 data (Esc check),
    // 7 progress unit, 8 message box, 9 login, 10 a network wait (the count redrawn).
    int HandleEvent(int kind, intptr_t param1, intptr_t param2);
    // The server wants a login (refusal empty) or refused the last one (refusal: its line, said
    // first, with the question whether to enter them again). The login dialog edits url's user
    // name and password. Returns kLoginEntered, kLoginDeclined, or 0 when the operation may not
    // talk to the user.
    int AskLogin(TUrlComponents& url, const std::string& refusal);

    std::unique_ptr<TNewsRegistryManager> RegistryManager;
    std::unique_ptr<TNewsInternetManager> InternetManager;
    std::string PanelHost;
    unsigned OpFlags = 0;
    uint64_t OpStart = 0;  // monotonic milliseconds
    // Item name, other end of the transfer, separator, bar; each at most kProgressWidth.
    std::string ProgressLines[4];
    int64_t Total = 0;
    int64_t Received = 0;
    std::string ProgressTitle;
    uint64_t LastTraffic = 0;  // monotonic milliseconds of the last drawing; 0: not yet
    // Text and extra line of the last status box of a counting operation, redrawn with the count.
    std::string StatusText, StatusExtra;

  protected:
    // The request table of ReceiveData: carries out one attempt of request.
    virtual int PerformRequest(int request, intptr_t param, void* target);

  private:
    // Copying out (get_files.cpp, copy_articles.cpp): list holds the collected items, the first
    // itemsNumber of them the host's items, which are deselected once copied.
    void CopyAccountsOut(PluginPanelItem* items, int itemsNumber,
                         const std::vector<TFindItem>& list, const std::string& dest, bool move);
    void CopyArticlesOut(PluginPanelItem* items, int itemsNumber,
                         const std::vector<TFindItem>& list, const std::string& dest);
    // Fetches the whole article of record into the file dir + name, written aside and renamed
    // into place when complete (replacing a file of that name). False when the user skipped it
    // after a failure; nothing of it is left then. Raises EFCreateError ("Create") when the file
    // cannot be made, and the failures ReceiveData passes on. The following articles' commands
    // may go out ahead.
    bool ReceiveArticle(const TFindItem& record, const std::string& dir, const std::string& name,
                        std::span<const TArticleRef> following);

    // Internet mode of PutFiles (put_articles.cpp): one posting dialog, then every file posted
    // (or saved); raises EAbort when the dialog is cancelled.
    void PutArticles(PluginPanelItem* items, int itemsNumber, int move, int opMode);
    // Posts (or, for kPostSave, saves) the file sourceDir + sourceName with headers
    // (post_article.cpp). Returns ReceiveData's answer: 1 done, 10 skipped by the user. Raises
    // EAbort when the save dialog is cancelled, and the file's errors.
    int PostArticle(const std::string& sourceDir, const std::string& sourceName, TStream& headers,
                    const TPostInfo& post, int outcome);
    // A reply to item (fetchRequest: how its text is fetched) or, with fetchRequest 0, a new
    // article (item unused): the posting dialog, templateFile expanded in the host's editor,
    // and the saved text posted (compose_article.cpp). True when it was posted (or saved).
    bool ComposeWithTemplate(const PluginPanelItem* item, const std::string& templateFile,
                             int fetchRequest);
    // The posting dialog and the composed headers for the session's account (ui/composition.h);
    // an e-mail address asked for there stays with the session. Returns the outcome.
    int ComposePost(const std::string& newsgroups, TPostInfo& post, TStream& headers);
    // The host's editor on the composed text in file name, the cursor at line and column; true
    // when the text was changed and saved (the panel is then redrawn).
    bool EditComposed(const std::string& name, const std::string& title, int line, int column);
    // Posts the composed text in file name with headers (post_or_keep.cpp). When it does not go
    // out (refused, failed and not retried, stopped), the user may edit it and send it again, or
    // keep it: it is then written with its headers into the postponed folder (ui/postponed.h),
    // which the other panel shows. True when posted (or saved).
    bool PostOrKeep(const std::string& name, TStream& headers, const TPostInfo& post, int outcome);
    // The body of item in the viewer with the reader's keys; how the user left it.
    ReaderMove ViewInReader(const PluginPanelItem& item);
    // Offers the next own group with unread articles and enters it, reading the panel again into
    // context; false when there is none or the user declined.
    bool EnterNextUnreadGroup(TKeyContext& context);
    // Panel keys (panel_keys.cpp).
    void CarryOut(int action, TKeyContext& context);
    // Registry mode: the account's URL (the password only with "Copy passwords") or the
    // folder's path; internet mode: the item's name.
    std::string GetItemText(const PluginPanelItem& item);
    void CopyNamesToClipboard(const PluginPanelItem* items, int count);

    bool InInternetMode() const { return Mode == PluginMode::Internet && InternetManager; }
    void RestoreSavedScreen();
    void SaveWholeScreen();
};

// The first bytes of an account file: its section header.
bool HasAccountFileSignature(const unsigned char* data, int dataSize);

}  // namespace kestrova

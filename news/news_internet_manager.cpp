#include "news/news_internet_manager.h"

#include "common/errors.h"
#include "common/format_text.h"
#include "common/text_utils.h"
#include "news/group_record.h"
#include "news/overview_columns.h"
#include "news/thread_listing.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"

namespace kestrova {

namespace {

constexpr int kQuietAction = 0x100;  // an action that is not logged

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
    : TInternetManager(owner),
      log_(owner),
      connection_(account_, OnEvent, log_),
      cache_(account_, Options.Connect.CacheLife, OnEvent, log_,
             static_cast<uint64_t>(Options.Connect.ArticleCache) << 20),
      marks_(std::in_place, account_) {
    Delimiter = '.';
    connection_.ConnectAgain = [this] { ConnectHostDef(); };
}

TNewsInternetManager::~TNewsInternetManager() {
    if (connection_.HasSocket()) Disconnect();
}

void TNewsInternetManager::AttachSocket(std::unique_ptr<TWinSocket> socket) {
    connection_.AttachSocket(std::move(socket));
}

std::unique_ptr<TWinSocket> TNewsInternetManager::CreateSocket() {
    return std::make_unique<TWinSocket>(Options.Connect.ServerTimeout, kNewsSocketBufferSize);
}

void TNewsInternetManager::SetState(NewsState state) {
    if (state == state_) return;
    log_.Write(kLogAction, FormatText("State: %s -> %s", {StateName(state_), StateName(state)}));
    state_ = state;
    connection_.ReportDataAsProgress(state == NewsState::Posting);
}

void TNewsInternetManager::ShowServerGroups(const std::string& mask) {
    groups_.Mask = mask;
    SetPath(mask);
    SetState(NewsState::AllGroups);
}

void TNewsInternetManager::SetListLimit(int64_t limit) {
    groups_.ListLimit = limit;
    index_.ListLimit = limit;
}

void TNewsInternetManager::SetAccount(const TAccountOptions& account) {
    account_ = account;
    if (IsSecureNewsScheme(account_.Url.Scheme)) account_.Secure = kTlsFromFirstByte;
    const bool fromFirstByte = account_.Secure == kTlsFromFirstByte;
    if (fromFirstByte && !IsSecureNewsScheme(account_.Url.Scheme)) account_.Url.Scheme = "nntps";
    if (account_.Url.Port == 0) account_.Url.Port = fromFirstByte ? kSecureNewsPort : kNewsPort;
    marks_.emplace(account_);
}

void TNewsInternetManager::Connect(const TAccountOptions& account) {
    Disconnect();
    SetAccount(account);
    SetPath(".");
    SetState(NewsState::OwnGroups);
    ConnectHostDef();
    cache_.LoadAccountFile();
}

void TNewsInternetManager::WorkOffline() {
    offline_ = true;
    log_.Write(kLogConnection, "Working offline from the cache");
    if (cache_.Blocks().Count() == 0) cache_.LoadAccountFile();
}

void TNewsInternetManager::GoOnline() {
    offline_ = false;
    try {
        ConnectHostDef();
    } catch (...) {
        connection_.Close();
        offline_ = true;
        throw;
    }
    log_.Write(kLogConnection, "Working online again");
    Refresh();
}

bool TNewsInternetManager::CanWorkOffline() {
    return cache_.Blocks().Count() > 0 || cache_.AccountFileExists();
}

void TNewsInternetManager::RequireServer(const char* procName) const {
    if (offline_) throw EInternetError(kRefused, GetMsg(kMsgNeedsServer), procName);
}

void TNewsInternetManager::OpenConnection() {
    connection_.Open();
}

void TNewsInternetManager::ConnectHostDef() {
    OpenConnection();
    const TNntpStatus greeting = connection_.ReadGreeting();
    // Only now is the server there: a refused or failed connection never reads "Connected".
    DoEvent(kEventStatus, kMsgConnected, TextParam(greeting.Line.c_str()));
    connection_.StartReading();
    if (!account_.Url.UserName.empty()) connection_.LogIn();
    if (Options.Connect.Compression != 0) connection_.StartCompression();

    if (state_ == NewsState::InGroup) {
        try {
            SetDirectory(GroupItemName(GetPath()));
        } catch (const Exception& failure) {
            log_.Write(kLogConnection,
                       FormatText("Cannot enter \"%s\" again: %s", {GetPath(), failure.Message}));
            SetState(NewsState::OwnGroups);
            SetPath(".");
            connection_.Close();
        }
    }
}

void TNewsInternetManager::Disconnect() {
    connection_.Disconnect();
}

void TNewsInternetManager::SetPath(const std::string& path) {
    Path = path;
}

void TNewsInternetManager::SetDirectory(const std::string& name) {
    if (name.size() == 1 && name[0] == Delimiter) return;
    cache_.SaveChanges();  // the columns filled while reading the group
    const std::string group = GroupOfItem(name);
    switch (state_) {
        case NewsState::OwnGroups:
            if (name == "..") throw EInternetLeave();
            SelectGroup(group);
            SetState(NewsState::InGroup);
            index_.Update = true;
            SetPath(group);
            return;
        case NewsState::InGroup:
            if (name == "..") {
                SetPath(".");
                SetState(NewsState::OwnGroups);
                return;
            }
            SelectGroup(group);
            if (CompareTextOem(group, Path) != 0) index_.Update = true;
            SetPath(group);
            return;
        case NewsState::AllGroups:
        case NewsState::Posting:
            return;  // the all-groups view is left through its keys only
    }
}

std::string TNewsInternetManager::TitleNote() const {
    if (state_ != NewsState::InGroup || index_.OlderEnd <= 0) return "";
    if (index_.Range.Count <= index_.Listed)
        return FormatText(GetMsg(kMsgNewestListed), {index_.Listed});
    return FormatText(GetMsg(kMsgNewestOfCount), {index_.Listed, index_.Range.Count});
}

void TNewsInternetManager::FillOverviewColumns(const TArticleRef& article,
                                               const TArticleHeader& header) {
    if (state_ == NewsState::InGroup)
        kestrova::FillOverviewColumns(cache_, GetPath(), article, header);
}

void TNewsInternetManager::SelectGroup(const std::string& name) {
    if (offline_) {
        index_.Range = TGroupRange{};
        return;
    }
    DoEvent(kEventTitle, 0, TextParam(GetMsg(kMsgEnteringGroup)));
    index_.Range = GroupRangeOf(connection_.Command(CommandLine("GROUP", name), kLogCommand).Line);
    index_.RangeStale = false;
}

void TNewsInternetManager::StartAction(int action) {
    connection_.Socket().AcquireWindow();
    if ((action & kQuietAction) == 0) {
        log_.Write(kLogAction, FormatText("Start action: %8x", {action}));
    }
}

void TNewsInternetManager::StopAction(int action) {
    if ((action & kQuietAction) == 0) {
        log_.Write(kLogAction, FormatText("Stop action: %8x", {action}));
    }
    connection_.Socket().ReleaseWindow();
}

void TNewsInternetManager::GetFindData(PluginPanelItem*& items, int& count) {
    items = nullptr;
    count = 0;
    groups_.OwnGroups = state_ == NewsState::OwnGroups;
    groups_.CharTable = account_.CharTable;
    groups_.PostingAllowed = connection_.PostingAllowed();
    groups_.Marks = state_ == NewsState::OwnGroups ? &*marks_ : nullptr;
    switch (state_) {
        case NewsState::AllGroups:
            if (offline_ && (groups_.Reload || !cache_.Blocks().Has(kGroupListKey)))
                RequireServer("GetFindData");
            DoEvent(kEventStatus, kMsgGroupsTitle, TextParam(GetMsg(kMsgPleaseWait)));
            GetGroupsInfo(connection_, cache_, groups_, items, count);
            return;
        case NewsState::OwnGroups:
            GetGroupsInfo(connection_, cache_, groups_, items, count);
            if (count == 0) {
                DoEvent(kEventMessageBox, kMsgNoGroups, TextParam(GetMsg(kMsgNoGroupsHint)));
            }
            return;
        case NewsState::InGroup:
            index_.Group = GetPath();
            index_.CharTable = account_.CharTable;
            index_.Offline = offline_;
            index_.FirstEntryLimit = Options.Connect.HeadersOnFirstEntry;
            try {
                GetArticlesInfo(connection_, cache_, index_, items, count);
            } catch (...) {
                FlagUnread(items, count, marks_->Of(index_.Group));  // a partial listing too
                throw;
            }
            FlagUnread(items, count, marks_->Of(index_.Group));
            if (threadView_) {
                TThreadLinks links;
                links.Load(cache_.Blocks(), index_.Group);
                OrderByThread(items, count, links);
            }
            return;
        case NewsState::Posting:
            return;
    }
}

}  // namespace kestrova

// The connected panel's keys: which key means what in each state, and the actions that the
// session carries out itself, with the questions and dialogs they ask.
#include <array>
#include <string>
#include <vector>

#include "common/format_text.h"
#include "news/news_internet_manager.h"
#include "news/older_articles.h"
#include "news/thread_listing.h"
#include "ui/char_tables.h"
#include "ui/dialog_builder.h"
#include "ui/key_context.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

namespace {

// The replace-or-add question: a dialog rather than a message box, so that Add, the answer
// that loses nothing, is the default and has the focus while the buttons keep their order.
enum : int { kReplaceItem = 3, kAddItem = 4 };
constexpr std::array<DialogItemTemplate, 6> kReplaceOrAddTemplate{{
    {DI_DOUBLEBOX, 3, 1, 62, 0, 0},
    {DI_TEXT, 5, 2, 0, 0, kMsgReplaceOrAdd},
    {DI_TEXT, 5, 3, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 4, 0, kButtonRow, kMsgReplaceButton},
    {DI_BUTTON, 0, 4, 0, kButtonRow, kMsgAddButton},
    {DI_BUTTON, 0, 4, 0, kButtonRow, kMsgCancel},
}};

// Whether the selected groups replace the own groups there are or join them: the closing item.
int AskReplaceOrAdd(uint32_t own) {
    DialogItems items = BuildDialog(kReplaceOrAddTemplate, kAddItem, kAddItem);
    SetItemText(items[0], FormatText(GetMsg(kMsgOwnGroupsExist), {own}));
    return ShowDialog(items, nullptr);
}

constexpr unsigned kNone = 0;
constexpr unsigned kCtrl = PKF_CONTROL;
constexpr unsigned kAlt = PKF_ALT;
constexpr unsigned kShift = PKF_SHIFT;
constexpr unsigned kControlBits = kCtrl | kAlt | kShift;
constexpr int kKeyR = 'R';
constexpr size_t kGroupMaskSize = 512;

// Sets of states a row applies to.
constexpr unsigned StateBit(NewsState state) {
    return 1u << static_cast<unsigned>(state);
}
constexpr unsigned kAnyState = 0xF;
constexpr unsigned kOwnGroups = StateBit(NewsState::OwnGroups);
constexpr unsigned kAllGroups = StateBit(NewsState::AllGroups) | StateBit(NewsState::Posting);
constexpr unsigned kInGroup = StateBit(NewsState::InGroup);

struct KeyRow {
    unsigned states;
    int key;
    unsigned control;
    int action;
};

// Tried top down; the first row that matches gives the action.
constexpr std::array kKeyTable = {
    KeyRow{kInGroup, VK_F2, kNone, kActionMarkRead},
    KeyRow{kInGroup, VK_F2, kShift, kActionMarkUnread},
    KeyRow{kOwnGroups | kInGroup, VK_F8, kShift, kActionCatchUp},
    KeyRow{kOwnGroups, VK_F2, kNone, kActionNewsrcMenu},

    KeyRow{kAnyState, VK_F6, kNone, kActionSwallow},
    KeyRow{kAnyState, VK_F4, kAlt, kActionSwallow},
    KeyRow{kAnyState, VK_F6, kAlt, kActionSwallow},
    KeyRow{kAnyState, VK_F1, kShift, kActionSwallow},
    KeyRow{kAnyState, VK_F2, kShift, kActionSwallow},
    KeyRow{kAnyState, VK_F5, kShift, kActionSwallow},
    KeyRow{kAnyState, VK_F6, kShift, kActionSwallow},
    KeyRow{kAnyState, VK_F8, kShift, kActionSwallow},
    KeyRow{kAnyState, VK_F7, kShift, kActionChooseCharset},
    KeyRow{kAnyState, kKeyR, kCtrl, kActionRefresh},

    KeyRow{kOwnGroups, VK_F3, kNone, kActionSwallow},
    KeyRow{kOwnGroups, VK_F4, kNone, kActionSwallow},
    KeyRow{kOwnGroups, VK_F5, kNone, kActionSwallow},
    KeyRow{kOwnGroups, VK_F3, kAlt, kActionSwallow},
    KeyRow{kOwnGroups, VK_F5, kAlt, kActionSwallow},
    KeyRow{kOwnGroups, VK_F4, kShift, kActionSwallow},
    KeyRow{kOwnGroups, VK_F7, kNone, kActionGroups},
    KeyRow{kOwnGroups, VK_F8, kNone, kActionDropGroups},

    KeyRow{kAllGroups, VK_F3, kNone, kActionSwallow},
    KeyRow{kAllGroups, VK_F4, kNone, kActionSwallow},
    KeyRow{kAllGroups, VK_F5, kNone, kActionSwallow},
    KeyRow{kAllGroups, VK_F8, kNone, kActionSwallow},
    KeyRow{kAllGroups, VK_F3, kAlt, kActionSwallow},
    KeyRow{kAllGroups, VK_F5, kAlt, kActionSwallow},
    KeyRow{kAllGroups, VK_F4, kShift, kActionSwallow},
    KeyRow{kAllGroups, VK_RETURN, kNone, kActionGroups},
    KeyRow{kAllGroups, VK_F7, kNone, kActionGroups},
    KeyRow{kAllGroups, VK_F7, kAlt, kActionAskMask},
    KeyRow{kAllGroups, kKeyR, kCtrl | kAlt, kActionReload},

    KeyRow{kInGroup, VK_F7, kNone, kActionLoadOlder},
    KeyRow{kInGroup, VK_F8, kNone, kActionSwallow},
    KeyRow{kInGroup, kKeyR, kCtrl | kAlt, kActionReload},
    KeyRow{kInGroup, VK_F3, kNone, kActionViewBody},
    KeyRow{kInGroup, VK_F3, kShift, kActionViewHeader},
    KeyRow{kInGroup, VK_F4, kNone, kActionReply},
    KeyRow{kInGroup, VK_F4, kShift, kActionNewArticle},
    KeyRow{kInGroup, VK_F12, kNone, kActionThreadView},
    KeyRow{kInGroup, VK_F12, kShift, kActionSelectThread},
};

bool LeftToPanel(int action) {
    return action == kActionSwallow || action == kActionReply || action == kActionNewArticle ||
           action == kActionViewHeader || action == kActionViewBody;
}

// The groups of the items selected in the panel.
std::vector<std::string> SelectedNames(const TKeyContext& context) {
    std::vector<std::string> names;
    const PanelInfo& info = context.Info;
    if (info.SelectedItems == nullptr) return names;
    for (int i = 0; i < info.SelectedItemsNumber; ++i) {
        names.push_back(GroupOfItem(info.SelectedItems[i].FindData.cFileName));
    }
    return names;
}

std::string SelectionText(const std::vector<std::string>& names, int oneMessage, int manyMessage) {
    if (names.size() == 1) return FormatText(GetMsg(oneMessage), {names.front()});
    return FormatText(GetMsg(manyMessage), {static_cast<int>(names.size())});
}

}  // namespace

int NewsKeyAction(NewsState state, int key, unsigned controlState) {
    const unsigned control = controlState & kControlBits;
    for (const KeyRow& row : kKeyTable) {
        if ((row.states & StateBit(state)) != 0 && row.key == key && row.control == control) {
            return row.action;
        }
    }
    return kActionNone;
}

bool TNewsInternetManager::ProcessKey(int key, unsigned controlState, TKeyContext& context,
                                      int& action) {
    action = NewsKeyAction(state_, key, controlState);
    // Offline, Ctrl-R tries the server again; the panel does that, as it asks and tells.
    if (action == kActionRefresh && offline_) action = kActionGoOnline;
    if (action == kActionNone || action == kActionGoOnline || LeftToPanel(action)) return false;
    bool changed = false;
    switch (action) {
        case kActionRefresh:
            changed = Refresh();
            break;
        case kActionChooseCharset:
            changed = ChooseCharset();
            break;
        case kActionGroups:
            changed = GroupsAction(context);
            break;
        case kActionDropGroups:
            changed = DropGroups(context);
            break;
        case kActionAskMask:
            changed = AskGroupMask();
            break;
        case kActionReload:
            changed = Reload();
            break;
        case kActionThreadView:
            threadView_ = !threadView_;
            changed = true;
            break;
        case kActionSelectThread:
            if (SelectCurrentThread(context)) context.Flags |= kKeySetSelection | kKeyRedrawPanel;
            break;
        case kActionMarkRead:
        case kActionMarkUnread:
            changed = MarkSelection(context, action == kActionMarkRead);
            break;
        case kActionCatchUp:
            changed = CatchUp(context);
            break;
        case kActionNewsrcMenu:
            changed = NewsrcMenu();
            break;
        case kActionLoadOlder:
            changed = LoadOlder();
            break;
    }
    if (changed) context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
    return true;
}

bool TNewsInternetManager::Refresh() {
    RequireServer("ProcessKey");
    switch (state_) {
        case NewsState::OwnGroups:
            MarkGroupsForRefresh(cache_, kOwnGroup);
            return true;
        case NewsState::InGroup:
            // The listing asks for what came meanwhile.
            index_.Update = true;
            index_.RangeStale = true;
            MarkArticlesForRefresh(cache_, GetPath());
            return true;
        case NewsState::AllGroups:
        case NewsState::Posting:
            MarkGroupsForRefresh(cache_, 0);
            return true;
    }
    return false;
}

bool TNewsInternetManager::LoadOlder() {
    RequireServer("ProcessKey");
    if (index_.OlderEnd <= 0) return false;
    index_.LoadOlder = true;
    return true;
}

bool TNewsInternetManager::ChooseCharset() {
    const int chosen = ChooseSlot(account_.CharTable);
    if (chosen == account_.CharTable) return false;
    account_.CharTable = chosen;
    return true;
}

bool TNewsInternetManager::GroupsAction(TKeyContext& context) {
    if (state_ == NewsState::OwnGroups) {
        if (!AskGroupMask()) return false;
        groups_.Reload = !offline_;  // offline: the cached list of the server's groups
        return true;
    }
    if (!AddGroups(context)) return false;
    groups_.Reload = false;
    SetPath(".");
    return true;
}

bool TNewsInternetManager::Reload() {
    RequireServer("ProcessKey");
    const int answer = ShowMessage(
        FMSG_WARNING, {GetMsg(kMsgReloadTitle), GetMsg(kMsgReloadQuestion)}, {kMsgOk, kMsgCancel});
    if (answer != 0) return false;
    if (state_ == NewsState::InGroup) {
        cache_.Blocks().Delete(GetPath());
        cache_.Blocks().Delete(ThreadLinksKey(GetPath()));
        cache_.Blocks().Delete(OlderArticlesKey(GetPath()));
        connection_.Close();  // the next action reconnects and enters the group again
        index_.Update = true;
        return true;
    }
    if (!AskGroupMask()) return false;
    cache_.Blocks().Delete(kGroupListKey);
    groups_.Reload = true;
    return true;
}

// Selects the articles of the current article's thread in the panel, by the References cached
// for the group; false when the cursor is on no article.
bool TNewsInternetManager::SelectCurrentThread(TKeyContext& context) {
    TThreadLinks links;
    links.Load(cache_.Blocks(), GetPath());
    return SelectThread(context.Info, links);
}

// Flags the groups selected in the panel as own groups (asking whether they replace or join the
// own groups there are) and returns to the own-groups view; false when the user declined.
bool TNewsInternetManager::AddGroups(TKeyContext& context) {
    const std::vector<std::string> names = SelectedNames(context);
    if (!names.empty()) {
        const int answer = ShowMessage(
            0, {GetMsg(kMsgGroupsTitle), SelectionText(names, kMsgAddOneGroup, kMsgAddGroups)},
            {kMsgOk, kMsgCancel});
        if (answer != 0) return false;
        OwnChange change = OwnChange::Add;
        if (const uint32_t own = CountOwnGroups(cache_); own > 0) {
            const int how = AskReplaceOrAdd(own);
            if (how != kReplaceItem && how != kAddItem) return false;
            if (how == kReplaceItem) change = OwnChange::Replace;
        }
        ChangeOwnGroups(cache_, names, change);
    }
    SetState(NewsState::OwnGroups);
    return true;
}

// Removes the own-group flag of the selected groups; false when nothing changed.
bool TNewsInternetManager::DropGroups(TKeyContext& context) {
    const std::vector<std::string> names = SelectedNames(context);
    if (names.empty()) return false;
    const int answer =
        ShowMessage(FMSG_WARNING,
                    {GetMsg(kMsgDropTitle), SelectionText(names, kMsgDropOneGroup, kMsgDropGroups)},
                    {kMsgOk, kMsgCancel});
    if (answer != 0) return false;
    return ChangeOwnGroups(cache_, names, OwnChange::Drop);
}

// Asks for the group mask; when accepted, shows the server's groups that match it ("", "*.*",
// "*." and "." become "*").
bool TNewsInternetManager::AskGroupMask() {
    std::string mask = groups_.Mask;
    if (InputDialog(GetMsg(kMsgGroupsTitle), GetMsg(kMsgMaskPrompt), mask) != kAccepted) {
        return false;
    }
    // assign(1, '*') rather than = "*": GCC 12 reports a false overlap (-Wrestrict) for the latter.
    if (mask.empty() || mask == "*.*" || mask == "*." || mask == ".") mask.assign(1, '*');
    if (mask.size() >= kGroupMaskSize) mask.resize(kGroupMaskSize - 1);
    ShowServerGroups(mask);
    return true;
}

}  // namespace kestrova

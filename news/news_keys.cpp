// The connected panel's keys: which key means what in each state, and the actions that the
// manager carries out itself.
#include <array>
#include <string>

#include "news/article_index.h"
#include "news/group_list.h"
#include "news/news_internet_manager.h"
#include "ui/char_tables.h"
#include "ui/key_context.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

namespace {

constexpr unsigned kNone = 0;
constexpr unsigned kCtrl = PKF_CONTROL;
constexpr unsigned kAlt = PKF_ALT;
constexpr unsigned kShift = PKF_SHIFT;
constexpr unsigned kControlBits = kCtrl | kAlt | kShift;
constexpr int kKeyR = 'R';

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

    KeyRow{kInGroup, VK_F7, kNone, kActionSwallow},
    KeyRow{kInGroup, VK_F8, kNone, kActionSwallow},
    KeyRow{kInGroup, kKeyR, kCtrl | kAlt, kActionReload},
    KeyRow{kInGroup, VK_F3, kNone, kActionViewBody},
    KeyRow{kInGroup, VK_F3, kShift, kActionViewHeader},
    KeyRow{kInGroup, VK_F4, kNone, kActionReply},
    KeyRow{kInGroup, VK_F4, kShift, kActionNewArticle},
};

bool LeftToPanel(int action) {
    return action == kActionSwallow || action == kActionReply || action == kActionNewArticle ||
           action == kActionViewHeader || action == kActionViewBody;
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
    action = NewsKeyAction(State, key, controlState);
    if (action == kActionNone || LeftToPanel(action)) return false;
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
            changed = DropGroups(*this, context);
            break;
        case kActionAskMask:
            changed = AskGroupMask(*this);
            break;
        case kActionReload:
            changed = Reload();
            break;
    }
    if (changed) context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
    return true;
}

bool TNewsInternetManager::Refresh() {
    switch (State) {
        case NewsState::OwnGroups:
            MarkGroupsForRefresh(*this, kOwnGroup);
            return true;
        case NewsState::InGroup:
            MarkArticlesForRefresh(*this);
            return true;
        case NewsState::AllGroups:
        case NewsState::Posting:
            MarkGroupsForRefresh(*this, 0);
            return true;
    }
    return false;
}

bool TNewsInternetManager::ChooseCharset() {
    const int chosen = ChooseSlot(Account.CharTable);
    if (chosen == Account.CharTable) return false;
    Account.CharTable = chosen;
    return true;
}

bool TNewsInternetManager::GroupsAction(TKeyContext& context) {
    if (State == NewsState::OwnGroups) {
        if (!AskGroupMask(*this)) return false;
        ReloadGroupList = 1;
        return true;
    }
    if (!AddGroups(*this, context)) return false;
    ReloadGroupList = 0;
    SetPath(".");
    return true;
}

bool TNewsInternetManager::Reload() {
    const int answer = ShowMessage(
        FMSG_WARNING, {GetMsg(kMsgReloadTitle), GetMsg(kMsgReloadQuestion)}, {kMsgOk, kMsgCancel});
    if (answer != 0) return false;
    if (State == NewsState::InGroup) {
        Cache->Delete(GetPath());
        Socket->SocketClose();  // the next action reconnects and enters the group again
        UpdateGroup = 1;
        return true;
    }
    if (!AskGroupMask(*this)) return false;
    Cache->Delete(".");
    ReloadGroupList = 1;
    return true;
}

}  // namespace kestrova

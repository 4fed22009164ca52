#include "news/group_list.h"

#include <exception>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "common/format_text.h"
#include "common/oem_collation.h"
#include "common/text_utils.h"
#include "news/news_internet_manager.h"
#include "news/reply_codes.h"
#include "ui/host_services.h"
#include "ui/key_context.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

namespace {

constexpr size_t kGroupMaskSize = 512;

intptr_t TextParam(const char* text) {
    return reinterpret_cast<intptr_t>(text);
}

bool MatchesMask(const TNewsInternetManager& manager, const std::string& name) {
    return StartupInfo.CmpName != nullptr &&
           StartupInfo.CmpName(manager.GroupMask.c_str(), name.c_str(), 0) != 0;
}

std::string NewGroupsCommand(const SYSTEMTIME& since) {
    return FormatText(
        "NEWGROUPS %2D%2D%2D %2D%2D%2D GMT",
        {since.wYear % 100, since.wMonth, since.wDay, since.wHour, since.wMinute, since.wSecond});
}

// A list whose stamp was never set was not read to its end: only LIST can complete it.
bool IsComplete(const TListBlock& groups) {
    return groups.Stamp().wYear != 0;
}

// Asks the server for its groups (LIST, or NEWGROUPS since the stamp of a complete list) and
// lists those of the new ones that match the mask. Sets changed when the list changed, also
// before a failure is passed on. Only a reply read to its end clears ReloadGroupList and moves
// the stamp, so that the next attempt after a failure asks for the same groups again.
void AskServerForGroups(TNewsInternetManager& manager, TListBlock& groups, bool cached,
                        TPanelItemList& items, bool& changed) {
    manager.DoEvent(kEventStatus, kMsgAskingForGroups, TextParam(manager.ReplyLine.c_str()));
    const SYSTEMTIME asked = StampNow();
    const std::string command =
        cached && IsComplete(groups) ? NewGroupsCommand(groups.Stamp()) : "LIST";
    const int code =
        manager.SendCommand(*manager.Socket, command, kLogCommand, kWaitForReply | kKeepReply, "");
    if (ReplyCommandUnsupported(code)) return;
    if (!ReplySucceeded(code)) {
        manager.CheckReply("GetGroupsInfo");
        return;
    }
    std::vector<TGroupRecord> inserted;
    std::exception_ptr failure;
    try {
        ReadGroupList(manager, groups, inserted);
        manager.ReloadGroupList = 0;
        groups.SetStamp(asked);
        changed = true;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!inserted.empty()) changed = true;
    for (const TGroupRecord& group : inserted) {
        if (MatchesMask(manager, group.Name)) {
            AddGroupItem(items, group, groups.Stamp(), manager.Account.CharTable);
        }
    }
    if (failure) std::rethrow_exception(failure);
}

// Names in the order of the group list, under the code pages of the time the list is read.
struct GroupNameLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return collation.CompareText(a, b) < 0;
    }
    TOemCollation collation;
};

// Groups read from the server and not yet in the list, by name.
using NewGroups = std::map<std::string, TGroupRecord, GroupNameLess>;

// Reads the data lines of a group list reply into pending: the groups that neither list nor
// pending holds yet (also added to inserted, in the order they came).
void ReadNewGroups(TNewsInternetManager& manager, const TListBlock& list, NewGroups& pending,
                   std::vector<TGroupRecord>& inserted) {
    const bool postingAllowed = (manager.ServerFlags & kServerAllowsPosting) != 0;
    std::string line;
    for (;;) {
        switch (manager.ReadDataLine(*manager.Socket, line)) {
            case DataLine::End:
                return;
            case DataLine::Lost:
                manager.RaiseConnectionLost("GetGroupsInfo");
            case DataLine::Data:
                break;
        }
        manager.WriteLog(kLogConnection, line);
        TGroupRecord group;
        switch (ParseGroupLine(line, postingAllowed, group)) {
            case GroupLine::Empty:
                continue;
            case GroupLine::TooLong:
                manager.WriteLog(kLogConnection,
                                 FormatText("Group name longer than %d characters skipped: %s",
                                            {static_cast<int>(TGroupRecord::kNameSize - 1),
                                             ExtractWord(1, line, ' ')}));
                continue;
            case GroupLine::Group:
                break;
        }
        manager.WriteLog(kLogConnection, group.Name);
        bool listed = false;
        FindGroup(list, group.Name, listed, pending.key_comp().collation);
        if (listed) continue;
        if (static_cast<int64_t>(list.Count() + pending.size()) >= manager.ListLimit) {
            RaiseListTooLong(manager, "GetGroupsInfo");
        }
        if (!pending.emplace(group.Name, group).second) continue;
        inserted.push_back(group);
        manager.DoEvent(kEventProgress, 0, 1);
    }
}

// Merges pending into the sorted list in one pass: inserting each group at its place would
// move the records after it every time, quadratic in the size of a full LIST. Names compare by
// the collation that ordered pending.
void MergeGroups(TListBlock& list, NewGroups& pending) {
    if (pending.empty()) return;
    TListBlock merged(TGroupRecord::kSize);
    merged.SetStamp(list.Stamp());
    merged.Reserve(list.Count() + pending.size());
    char bytes[TGroupRecord::kSize];
    const TOemCollation& collation = pending.key_comp().collation;
    auto next = pending.begin();
    for (uint32_t i = 0; i < list.Count(); ++i) {
        const std::string_view name = GetField(list.Record(i), TGroupRecord::kNameSize);
        for (; next != pending.end() && collation.CompareText(next->first, name) < 0; ++next) {
            next->second.Write(bytes);
            merged.Append(bytes);
        }
        merged.Append(list.Record(i));
    }
    for (; next != pending.end(); ++next) {
        next->second.Write(bytes);
        merged.Append(bytes);
    }
    pending.clear();
    list = std::move(merged);
}

// Lists the cached groups of the current view, refreshing those marked for it; true when a
// refresh changed the list.
bool ListCachedGroups(TNewsInternetManager& manager, TListBlock& groups, TPanelItemList& items) {
    const bool ownView = manager.State == NewsState::OwnGroups;
    bool changed = false;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        TGroupRecord group = TGroupRecord::Read(groups.Record(i));
        const bool offered =
            ownView ? (group.Flags & kOwnGroup) != 0 : MatchesMask(manager, group.Name);
        if (!offered) continue;
        if ((group.Flags & kRefreshGroup) != 0) {
            RefreshGroup(manager, group);
            changed = true;
        }
        AddGroupItem(items, group, groups.Stamp(), manager.Account.CharTable);
        group.Flags &= ~kNewGroup;
        group.Write(groups.Record(i));
        manager.DoEvent(kEventProgress, 0, 1);
    }
    return changed;
}

// The names of the items selected in the panel.
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

// Applies change to the record of each name that the list holds.
template <typename Change>
void ChangeNamedGroups(TListBlock& groups, const std::vector<std::string>& names, Change change) {
    const TOemCollation collation;
    for (const std::string& name : names) {
        bool found = false;
        const size_t at = FindGroup(groups, name, found, collation);
        if (!found) continue;
        TGroupRecord group = TGroupRecord::Read(groups.Record(at));
        change(group);
        group.Write(groups.Record(at));
    }
}

uint32_t CountOwnGroups(const TListBlock& groups) {
    uint32_t own = 0;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        if ((TGroupRecord::Read(groups.Record(i)).Flags & kOwnGroup) != 0) ++own;
    }
    return own;
}

void ClearOwnGroups(TListBlock& groups) {
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        TGroupRecord group = TGroupRecord::Read(groups.Record(i));
        group.Flags &= ~kOwnGroup;
        group.Write(groups.Record(i));
    }
}

// Asks whether to replace or add to the m own groups that exist: false to stop.
bool ReplaceOrAdd(TListBlock& groups) {
    const uint32_t own = CountOwnGroups(groups);
    if (own == 0) return true;
    const int answer =
        ShowMessage(0, {FormatText(GetMsg(kMsgOwnGroupsExist), {own}), GetMsg(kMsgReplaceOrAdd)},
                    {kMsgReplaceButton, kMsgAddButton, kMsgCancel});
    if (answer == 0) ClearOwnGroups(groups);
    return answer == 0 || answer == 1;
}

}  // namespace

void GetGroupsInfo(TNewsInternetManager& manager, PluginPanelItem*& items, int& count) {
    TPanelItemList list;
    TListBlock groups(TGroupRecord::kSize);
    const bool cached = FetchList(manager, kGroupListKey, groups);
    bool changed = false;
    std::exception_ptr failure;
    try {
        if (cached) changed = ListCachedGroups(manager, groups, list);
        if (manager.State == NewsState::AllGroups && manager.ReloadGroupList != 0) {
            AskServerForGroups(manager, groups, cached, list, changed);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // What was read before a failure is kept: stored and listed, then the failure goes on.
    if (changed) StoreList(manager, kGroupListKey, ListKind::Permanent, groups);
    list.Release(items, count);
    if (failure) std::rethrow_exception(failure);
}

void ReadGroupList(TNewsInternetManager& manager, TListBlock& list,
                   std::vector<TGroupRecord>& inserted) {
    NewGroups pending;
    try {
        ReadNewGroups(manager, list, pending, inserted);
    } catch (...) {
        MergeGroups(list, pending);
        throw;
    }
    MergeGroups(list, pending);
}

void RefreshGroup(TNewsInternetManager& manager, TGroupRecord& group) {
    const int code = manager.SendCommand(*manager.Socket, "GROUP", kLogData,
                                         kWaitForReply | kKeepReply, group.Name);
    if (code != kReplyGroupSelected) return;
    group.First = DecimalOr(ExtractWord(3, manager.ReplyLine, ' '), 0);
    group.Last = DecimalOr(ExtractWord(4, manager.ReplyLine, ' '), 0);
    group.Flags &= ~kRefreshGroup;
}

bool AddGroups(TNewsInternetManager& manager, TKeyContext& context) {
    const std::vector<std::string> names = SelectedNames(context);
    if (!names.empty()) {
        const int answer = ShowMessage(
            0, {GetMsg(kMsgGroupsTitle), SelectionText(names, kMsgAddOneGroup, kMsgAddGroups)},
            {kMsgOk, kMsgCancel});
        if (answer != 0) return false;
        TListBlock groups(TGroupRecord::kSize);
        if (FetchList(manager, kGroupListKey, groups)) {
            if (!ReplaceOrAdd(groups)) return false;
            ChangeNamedGroups(groups, names, [](TGroupRecord& group) { group.Flags |= kOwnGroup; });
            StoreList(manager, kGroupListKey, ListKind::Permanent, groups);
        }
    }
    manager.SetState(NewsState::OwnGroups);
    return true;
}

bool DropGroups(TNewsInternetManager& manager, TKeyContext& context) {
    const std::vector<std::string> names = SelectedNames(context);
    if (names.empty()) return false;
    const int answer =
        ShowMessage(FMSG_WARNING,
                    {GetMsg(kMsgDropTitle), SelectionText(names, kMsgDropOneGroup, kMsgDropGroups)},
                    {kMsgOk, kMsgCancel});
    if (answer != 0) return false;
    TListBlock groups(TGroupRecord::kSize);
    if (!FetchList(manager, kGroupListKey, groups)) return false;
    ChangeNamedGroups(groups, names, [](TGroupRecord& group) { group.Flags &= ~kOwnGroup; });
    StoreList(manager, kGroupListKey, ListKind::Permanent, groups);
    return true;
}

bool AskGroupMask(TNewsInternetManager& manager) {
    std::string mask = manager.GroupMask;
    if (InputDialog(GetMsg(kMsgGroupsTitle), GetMsg(kMsgMaskPrompt), mask) != kAccepted) {
        return false;
    }
    // assign(1, '*') rather than = "*": GCC 12 reports a false overlap (-Wrestrict) for the latter.
    if (mask.empty() || mask == "*.*" || mask == "*." || mask == ".") mask.assign(1, '*');
    if (mask.size() >= kGroupMaskSize) mask.resize(kGroupMaskSize - 1);
    manager.GroupMask = mask;
    manager.SetPath(mask);
    manager.SetState(NewsState::AllGroups);
    return true;
}

void MarkGroupsForRefresh(TNewsInternetManager& manager, uint32_t flagFilter) {
    TListBlock groups(TGroupRecord::kSize);
    if (!FetchList(manager, kGroupListKey, groups)) return;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        TGroupRecord group = TGroupRecord::Read(groups.Record(i));
        if (flagFilter != 0 && (group.Flags & flagFilter) == 0) continue;
        group.Flags |= kRefreshGroup;
        group.Write(groups.Record(i));
    }
    StoreList(manager, kGroupListKey, ListKind::Permanent, groups);
}

}  // namespace kestrova

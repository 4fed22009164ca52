#include "news/group_list.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>

#include "common/format_text.h"
#include "common/oem_collation.h"
#include "common/text_utils.h"
#include "news/news_internet_manager.h"
#include "news/reply_codes.h"
#include "ui/char_tables.h"
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

bool MatchesMask(const TNewsInternetManager& manager, const char* name) {
    return StartupInfo.CmpName != nullptr &&
           StartupInfo.CmpName(manager.GroupMask.c_str(), name, 0) != 0;
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

// The name in a group record; NUL-terminated, as the record's name field always is.
const char* RecordName(const TListBlock& block, size_t index) {
    return block.Record(index);
}

std::string_view RecordNameView(const TListBlock& block, size_t index) {
    return GetField(block.Record(index), TGroupRecord::kNameSize);
}

// Reads the data lines of a group list reply into arrived, in the order they came: the groups
// that the list does not hold (a name the server sends twice is there twice; see ArrivalOrder).
// No line costs an allocation of its own: the line and the record are read into again.
void ReadNewGroups(TNewsInternetManager& manager, const TListBlock& list, TListBlock& arrived,
                   const TOemCollation& collation) {
    const bool postingAllowed = (manager.ServerFlags & kServerAllowsPosting) != 0;
    std::string line;
    TGroupRecord group;
    char bytes[TGroupRecord::kSize];
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
        FindGroup(list, group.Name, listed, collation);
        if (listed) continue;
        if (static_cast<int64_t>(list.Count() + arrived.Count()) >= manager.ListLimit) {
            RaiseListTooLong(manager, "GetGroupsInfo");
        }
        group.Write(bytes);
        arrived.Append(bytes);
        manager.DoEvent(kEventProgress, 0, 1);
    }
}

// The records of a block of arrived groups by index: first each name once (the record that
// came first) in name order, then the records whose name came again.
struct ArrivalOrder {
    std::vector<uint32_t> Indexes;
    size_t Unique = 0;
};

ArrivalOrder SortArrived(const TListBlock& arrived, const TOemCollation& collation) {
    // The names' lengths are taken once, not in each of the sort's comparisons.
    static_assert(TGroupRecord::kNameSize <= 256, "a name's length fits a byte");
    std::vector<uint8_t> lengths(arrived.Count());
    for (uint32_t i = 0; i < arrived.Count(); ++i) {
        lengths[i] = static_cast<uint8_t>(RecordNameView(arrived, i).size());
    }
    const auto name = [&](uint32_t i) { return std::string_view(arrived.Record(i), lengths[i]); };
    ArrivalOrder order;
    order.Indexes.resize(arrived.Count());
    std::iota(order.Indexes.begin(), order.Indexes.end(), 0u);
    std::sort(order.Indexes.begin(), order.Indexes.end(), [&](uint32_t a, uint32_t b) {
        const int names = collation.CompareText(name(a), name(b));
        return names < 0 || (names == 0 && a < b);
    });
    std::vector<uint32_t> again;
    for (const uint32_t index : order.Indexes) {
        const bool twin =
            order.Unique > 0 &&
            collation.CompareText(name(order.Indexes[order.Unique - 1]), name(index)) == 0;
        if (twin) {
            again.push_back(index);
        } else {
            order.Indexes[order.Unique++] = index;
        }
    }
    std::copy(again.begin(), again.end(),
              order.Indexes.begin() + static_cast<ptrdiff_t>(order.Unique));
    return order;
}

// Lists the arrived groups that match the mask, each name once, in the order they came. The
// items are counted first, so that the panel's array is sized once.
void ListArrivedGroups(TNewsInternetManager& manager, const TListBlock& arrived,
                       const ArrivalOrder& order, const SYSTEMTIME& stamp, TPanelItemList& items) {
    std::vector<bool> shown(arrived.Count());
    int count = 0;
    for (size_t k = 0; k < order.Unique; ++k) {
        const uint32_t index = order.Indexes[k];
        if (MatchesMask(manager, RecordName(arrived, index))) {
            shown[index] = true;
            ++count;
        }
    }
    items.Reserve(items.Count() + count);
    const int tableCode = SlotTableCode(manager.Account.CharTable);
    TGroupRecord group;
    for (uint32_t index = 0; index < arrived.Count(); ++index) {
        if (!shown[index]) continue;
        group.Load(arrived.Record(index));
        AddGroupItem(items, group, stamp, tableCode);
    }
}

// Moves the records of block into the order of indexes, a permutation of them, in place: each
// cycle of the permutation is followed with one record aside.
void Permute(TListBlock& block, std::vector<uint32_t> indexes) {
    constexpr size_t size = TGroupRecord::kSize;
    char aside[size];
    for (uint32_t start = 0; start < indexes.size(); ++start) {
        if (indexes[start] == start) continue;  // in its place, or moved already
        std::memcpy(aside, block.Record(start), size);
        for (uint32_t to = start;;) {
            const uint32_t from = indexes[to];
            indexes[to] = to;
            if (from == start) {
                std::memcpy(block.Record(to), aside, size);
                break;
            }
            std::memcpy(block.Record(to), block.Record(from), size);
            to = from;
        }
    }
}

// Puts the arrived groups, each name once, at their sorted places in the list. A list without
// records takes the arrived block itself; into any other the sorted records are merged in one
// pass from the end, so that none moves twice (inserting each at its place would move the
// records after it every time, quadratic in the size of a full LIST).
void MergeGroups(TListBlock& list, TListBlock&& arrived, ArrivalOrder order,
                 const TOemCollation& collation) {
    if (order.Unique == 0) return;
    const size_t added = order.Unique;
    Permute(arrived, std::move(order.Indexes));
    arrived.Resize(added);
    if (list.Count() == 0) {
        arrived.SetStamp(list.Stamp());
        list = std::move(arrived);
        return;
    }
    size_t kept = list.Count(), taken = added, to = kept + added;
    list.Resize(to);
    while (taken > 0) {
        const bool listFirst =
            kept > 0 && collation.CompareText(RecordNameView(list, kept - 1),
                                              RecordNameView(arrived, taken - 1)) > 0;
        const char* from = listFirst ? list.Record(--kept) : arrived.Record(--taken);
        std::memcpy(list.Record(--to), from, TGroupRecord::kSize);
    }
}

// Asks the server for its groups (LIST, or NEWGROUPS since the stamp of a complete list) and
// lists those of the new ones that match the mask. Sets changed when the list changed, also
// before a failure is passed on. Only a reply read to its end clears ReloadGroupList and moves
// the stamp, so that the next attempt after a failure asks for the same groups again. Groups
// read before a failure are kept and listed.
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
    const TOemCollation collation;
    TListBlock arrived(TGroupRecord::kSize);
    std::exception_ptr failure;
    try {
        ReadNewGroups(manager, groups, arrived, collation);
        manager.ReloadGroupList = 0;
        changed = true;
    } catch (...) {
        failure = std::current_exception();
    }
    ArrivalOrder order = SortArrived(arrived, collation);
    if (order.Unique > 0) changed = true;
    ListArrivedGroups(manager, arrived, order, failure ? groups.Stamp() : asked, items);
    MergeGroups(groups, std::move(arrived), std::move(order), collation);
    if (failure) std::rethrow_exception(failure);
    groups.SetStamp(asked);
}

// Lists the cached groups of the current view, refreshing those marked for it; true when a
// refresh changed the list. The items are counted first, so that the panel's array is sized once.
bool ListCachedGroups(TNewsInternetManager& manager, TListBlock& groups, TPanelItemList& items) {
    const bool ownView = manager.State == NewsState::OwnGroups;
    std::vector<uint32_t> offered;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        if (ownView ? (TGroupRecord::FlagsOf(groups.Record(i)) & kOwnGroup) != 0
                    : MatchesMask(manager, RecordName(groups, i))) {
            offered.push_back(i);
        }
    }
    items.Reserve(items.Count() + static_cast<int>(offered.size()));
    const int tableCode = SlotTableCode(manager.Account.CharTable);
    const SYSTEMTIME stamp = groups.Stamp();
    bool changed = false;
    TGroupRecord group;
    for (const uint32_t i : offered) {
        group.Load(groups.Record(i));
        if ((group.Flags & kRefreshGroup) != 0) {
            RefreshGroup(manager, group);
            changed = true;
        }
        AddGroupItem(items, group, stamp, tableCode);
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
        if ((TGroupRecord::FlagsOf(groups.Record(i)) & kOwnGroup) != 0) ++own;
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
    if (changed) StoreList(manager, kGroupListKey, ListKind::Permanent, std::move(groups));
    list.Release(items, count);
    if (failure) std::rethrow_exception(failure);
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
            StoreList(manager, kGroupListKey, ListKind::Permanent, std::move(groups));
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
    StoreList(manager, kGroupListKey, ListKind::Permanent, std::move(groups));
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
    StoreList(manager, kGroupListKey, ListKind::Permanent, std::move(groups));
}

}  // namespace kestrova

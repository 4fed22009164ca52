#include "news/group_list.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "common/format_text.h"
#include "common/oem_collation.h"
#include "common/text_utils.h"
#include "news/group_merge.h"
#include "ui/char_tables.h"
#include "ui/host_services.h"
#include "ui/message_numbers.h"

namespace kestrova {

namespace {

intptr_t TextParam(const char* text) {
    return reinterpret_cast<intptr_t>(text);
}

bool MatchesMask(const TGroupQuery& query, const char* name) {
    return StartupInfo.CmpName != nullptr && StartupInfo.CmpName(query.Mask.c_str(), name, 0) != 0;
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

// Reads the data lines of a group list reply into arrived, in the order they came: the groups
// that the list does not hold (a name the server sends twice is there twice; see ArrivalOrder).
// No line costs an allocation of its own: the line and the record are read into again.
void ReadNewGroups(TNntpConnection& connection, const TGroupQuery& query, const TListBlock& list,
                   TListBlock& arrived, const TOemCollation& collation) {
    TSessionLog& log = connection.Log();
    std::string line;
    TGroupRecord group;
    char bytes[TGroupRecord::kSize];
    for (;;) {
        switch (connection.ReadDataLine(line)) {
            case DataLine::End:
                return;
            case DataLine::Lost:
                connection.RaiseConnectionLost("GetGroupsInfo");
            case DataLine::Data:
                break;
        }
        log.Write(kLogConnection, line);
        switch (ParseGroupLine(line, query.PostingAllowed, group)) {
            case GroupLine::Empty:
                continue;
            case GroupLine::TooLong:
                log.Write(kLogConnection,
                          FormatText("Group name longer than %d characters skipped: %s",
                                     {static_cast<int>(TGroupRecord::kNameSize - 1),
                                      ExtractWord(1, line, ' ')}));
                continue;
            case GroupLine::Group:
                break;
        }
        log.Write(kLogConnection, group.Name);
        bool listed = false;
        FindGroup(list, group.Name, listed, collation);
        if (listed) continue;
        if (static_cast<int64_t>(list.Count() + arrived.Count()) >= query.ListLimit) {
            connection.RaiseAndClose(ListTooLongText(query.ListLimit), "GetGroupsInfo");
        }
        group.Write(bytes);
        arrived.Append(bytes);
        connection.Notify(kEventProgress, 0, 1);
    }
}

// Lists the arrived groups that match the mask, each name once, in the order they came. The
// items are counted first, so that the panel's array is sized once.
void ListArrivedGroups(const TGroupQuery& query, const TListBlock& arrived,
                       const ArrivalOrder& order, const SYSTEMTIME& stamp, TPanelItemList& items) {
    std::vector<bool> shown(arrived.Count());
    int count = 0;
    for (size_t k = 0; k < order.Unique; ++k) {
        const uint32_t index = order.Indexes[k];
        if (MatchesMask(query, RecordName(arrived, index))) {
            shown[index] = true;
            ++count;
        }
    }
    items.Reserve(items.Count() + count);
    const int tableCode = SlotTableCode(query.CharTable);
    TGroupRecord group;
    for (uint32_t index = 0; index < arrived.Count(); ++index) {
        if (!shown[index]) continue;
        group.Load(arrived.Record(index));
        AddGroupItem(items, group, stamp, tableCode);
    }
}

// Asks the server for its groups (LIST, or NEWGROUPS since the stamp of a complete list) and
// lists those of the new ones that match the mask. Sets changed when the list changed, also
// before a failure is passed on. Only a reply read to its end clears the query's Reload and moves
// the stamp, so that the next attempt after a failure asks for the same groups again. Groups
// read before a failure are kept and listed.
void AskServerForGroups(TNntpConnection& connection, TGroupQuery& query, TListBlock& groups,
                        bool cached, TPanelItemList& items, bool& changed) {
    connection.Notify(kEventStatus, kMsgAskingForGroups, TextParam(connection.LastLine().c_str()));
    const SYSTEMTIME asked = StampNow();
    const std::string command =
        cached && IsComplete(groups) ? NewGroupsCommand(groups.Stamp()) : "LIST";
    const TNntpStatus status = connection.Command(command, kLogCommand, kKeepReply);
    if (ReplyCommandUnsupported(status.Code)) return;
    if (!ReplySucceeded(status.Code)) {
        connection.Check(status, "GetGroupsInfo");
        return;
    }
    const TOemCollation collation;
    TListBlock arrived(TGroupRecord::kSize);
    std::exception_ptr failure;
    try {
        ReadNewGroups(connection, query, groups, arrived, collation);
        query.Reload = false;
        changed = true;
    } catch (...) {
        failure = std::current_exception();
    }
    ArrivalOrder order = SortArrived(arrived, collation);
    if (order.Unique > 0) changed = true;
    ListArrivedGroups(query, arrived, order, failure ? groups.Stamp() : asked, items);
    MergeGroups(groups, std::move(arrived), std::move(order), collation);
    if (failure) std::rethrow_exception(failure);
    groups.SetStamp(asked);
}

// Lists the cached groups of the current view, refreshing those marked for it; true when a
// refresh changed the list. The items are counted first, so that the panel's array is sized once.
bool ListCachedGroups(TNntpConnection& connection, const TGroupQuery& query, TListBlock& groups,
                      TPanelItemList& items) {
    const bool ownView = query.OwnGroups;
    std::vector<uint32_t> offered;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        if (ownView ? (TGroupRecord::FlagsOf(groups.Record(i)) & kOwnGroup) != 0
                    : MatchesMask(query, RecordName(groups, i))) {
            offered.push_back(i);
        }
    }
    items.Reserve(items.Count() + static_cast<int>(offered.size()));
    const int tableCode = SlotTableCode(query.CharTable);
    const SYSTEMTIME stamp = groups.Stamp();
    bool changed = false;
    TGroupRecord group;
    for (const uint32_t i : offered) {
        group.Load(groups.Record(i));
        if ((group.Flags & kRefreshGroup) != 0) {
            RefreshGroup(connection, group);
            changed = true;
        }
        AddGroupItem(items, group, stamp, tableCode,
                     ownView && query.Marks ? &query.Marks->Of(group.Name) : nullptr);
        group.Flags &= ~kNewGroup;
        group.Write(groups.Record(i));
        connection.Notify(kEventProgress, 0, 1);
    }
    return changed;
}

}  // namespace

void GetGroupsInfo(TNntpConnection& connection, TAccountCache& cache, TGroupQuery& query,
                   PluginPanelItem*& items, int& count) {
    TPanelItemList list;
    TListBlock groups(TGroupRecord::kSize);
    const bool cached = cache.Fetch(kGroupListKey, groups);
    bool changed = false;
    std::exception_ptr failure;
    try {
        if (cached) changed = ListCachedGroups(connection, query, groups, list);
        if (!query.OwnGroups && query.Reload) {
            AskServerForGroups(connection, query, groups, cached, list, changed);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // What was read before a failure is kept: stored and listed, then the failure goes on.
    if (changed) cache.Store(kGroupListKey, ListKind::Permanent, std::move(groups));
    list.Release(items, count);
    if (failure) std::rethrow_exception(failure);
}

void RefreshGroup(TNntpConnection& connection, TGroupRecord& group) {
    const TNntpStatus status =
        connection.Command(CommandLine("GROUP", group.Name), kLogData, kKeepReply);
    if (status.Code != kReplyGroupSelected) return;
    group.First = DecimalOr(ExtractWord(3, status.Line, ' '), 0);
    group.Last = DecimalOr(ExtractWord(4, status.Line, ' '), 0);
    group.Flags &= ~kRefreshGroup;
}

uint32_t CountOwnGroups(TAccountCache& cache) {
    TListBlock groups(TGroupRecord::kSize);
    if (!cache.Fetch(kGroupListKey, groups)) return 0;
    uint32_t own = 0;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        if ((TGroupRecord::FlagsOf(groups.Record(i)) & kOwnGroup) != 0) ++own;
    }
    return own;
}

bool ChangeOwnGroups(TAccountCache& cache, const std::vector<std::string>& names,
                     OwnChange change) {
    TListBlock groups(TGroupRecord::kSize);
    if (!cache.Fetch(kGroupListKey, groups)) return false;
    if (change == OwnChange::Replace) {
        for (uint32_t i = 0; i < groups.Count(); ++i) {
            TGroupRecord group = TGroupRecord::Read(groups.Record(i));
            group.Flags &= ~kOwnGroup;
            group.Write(groups.Record(i));
        }
    }
    const TOemCollation collation;
    for (const std::string& name : names) {
        bool found = false;
        const size_t at = FindGroup(groups, name, found, collation);
        if (!found) continue;
        TGroupRecord group = TGroupRecord::Read(groups.Record(at));
        if (change == OwnChange::Drop) {
            group.Flags &= ~kOwnGroup;
        } else {
            group.Flags |= kOwnGroup;
        }
        group.Write(groups.Record(at));
    }
    cache.Store(kGroupListKey, ListKind::Permanent, std::move(groups));
    return true;
}

void SubscribeGroups(TAccountCache& cache, const std::vector<std::string>& names) {
    TListBlock groups(TGroupRecord::kSize);
    cache.Fetch(kGroupListKey, groups);  // none: a list of these groups alone
    const TOemCollation collation;
    for (const std::string& name : names) {
        bool found = false;
        const size_t at = FindGroup(groups, name, found, collation);
        TGroupRecord group;
        if (found) {
            group = TGroupRecord::Read(groups.Record(at));
            group.Flags |= kOwnGroup;
            group.Write(groups.Record(at));
            continue;
        }
        group.Name = name.substr(0, TGroupRecord::kNameSize - 1);
        group.Flags = kOwnGroup | kRefreshGroup;
        InsertGroup(groups, group);
    }
    cache.Store(kGroupListKey, ListKind::Permanent, std::move(groups));
}

std::vector<TGroupRecord> OwnGroupRecords(TAccountCache& cache) {
    std::vector<TGroupRecord> own;
    TListBlock groups(TGroupRecord::kSize);
    if (!cache.Fetch(kGroupListKey, groups)) return own;
    for (uint32_t i = 0; i < groups.Count(); ++i)
        if ((TGroupRecord::FlagsOf(groups.Record(i)) & kOwnGroup) != 0)
            own.push_back(TGroupRecord::Read(groups.Record(i)));
    return own;
}

void MarkGroupsForRefresh(TAccountCache& cache, uint32_t flagFilter) {
    TListBlock groups(TGroupRecord::kSize);
    if (!cache.Fetch(kGroupListKey, groups)) return;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        TGroupRecord group = TGroupRecord::Read(groups.Record(i));
        if (flagFilter != 0 && (group.Flags & flagFilter) == 0) continue;
        group.Flags |= kRefreshGroup;
        group.Write(groups.Record(i));
    }
    cache.Store(kGroupListKey, ListKind::Permanent, std::move(groups));
}

}  // namespace kestrova

// The group list of a connected server: the server's groups cached under the key "." with the
// user's own groups flagged in it, listed at the server's top (the own-groups and all-groups
// views of the session).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"
#include "news/account_cache.h"
#include "news/group_record.h"
#include "news/nntp_connection.h"
#include "news/read_marks.h"

namespace kestrova {

// The cache key of the group list.
inline constexpr const char* kGroupListKey = ".";

// The most groups a group list takes: twice the largest list measured (1,000,000 groups), far
// above any real server, and with each group's panel item (about 400 bytes, which the host's
// interface fixes) an endless LIST is cut with about 1.1 GB held.
inline constexpr int64_t kMaxGroupListRecords = 2'000'000;

// What a listing of groups shows, and what it leaves for the next one.
struct TGroupQuery {
    bool OwnGroups = true;  // the own groups; else the groups that match Mask
    std::string Mask = "*";
    // The server is asked for its groups first (all-groups view only); cleared once its reply
    // was read to its end.
    bool Reload = false;
    int CharTable = 0;            // the account's character table slot
    bool PostingAllowed = false;  // the server's greeting allowed posting
    int64_t ListLimit = kMaxGroupListRecords;
    // The read marks that give the own groups their unread counts; none: no counts.
    TReadMarks* Marks = nullptr;
};

// The listing of query into a new array; with Reload the server is asked for its groups first
// (LIST, or NEWGROUPS since the stamp of a list once read to its end; a reply 500 to 505 leaves
// the list as it was). Only a reply read to its end clears Reload and stamps the list. Groups
// read before a failure are kept, listed and stored; then the failure is passed on:
// EInternetError ("GetGroupsInfo") for a refused list, the socket's failures, EUserAbort.
void GetGroupsInfo(TNntpConnection& connection, TAccountCache& cache, TGroupQuery& query,
                   PluginPanelItem*& items, int& count);
// Asks for a group's counts with GROUP; on 211 takes First and Last and clears kRefreshGroup.
// Any other reply leaves the record marked. Raises only the socket's failures.
void RefreshGroup(TNntpConnection& connection, TGroupRecord& group);
// The own groups of the cached list.
uint32_t CountOwnGroups(TAccountCache& cache);
// How ChangeOwnGroups changes the named groups.
enum class OwnChange { Add, Replace, Drop };
// Flags the named groups as own groups (Replace: unflags every other one first) or unflags them;
// false when there is no cached list.
bool ChangeOwnGroups(TAccountCache& cache, const std::vector<std::string>& names, OwnChange change);
// Makes the named groups own groups; a group the cached list does not hold yet is added to it
// (created when there is none), marked to be asked for with GROUP when next listed.
void SubscribeGroups(TAccountCache& cache, const std::vector<std::string>& names);
// The records of the own groups in the cached list, in its order.
std::vector<TGroupRecord> OwnGroupRecords(TAccountCache& cache);
// Marks for refresh every cached group (flagFilter 0) or every group carrying flagFilter.
void MarkGroupsForRefresh(TAccountCache& cache, uint32_t flagFilter);

}  // namespace kestrova

// The group list of a connected server: the server's groups cached under the key "." with the
// user's own groups flagged in it, listed at the server's top (the own-groups and all-groups
// states of TNewsInternetManager).
#pragma once

#include <cstdint>

#include "hostapi/plugin_api.h"
#include "news/group_record.h"

namespace kestrova {

class TNewsInternetManager;
struct TKeyContext;

// The cache key of the group list.
inline constexpr const char* kGroupListKey = ".";

// The listing of the own-groups or the all-groups view into a new array; in the all-groups
// view with ReloadGroupList set the server is asked for its groups first (LIST, or NEWGROUPS
// since the stamp of a list once read to its end; a reply 500 to 505 leaves the list as it was).
// Only a reply read to its end clears ReloadGroupList and stamps the list. Groups read
// before a failure are kept, listed and stored; then the failure is passed on: EInternetError
// ("GetGroupsInfo") for a refused list, the socket's failures, EUserAbort.
void GetGroupsInfo(TNewsInternetManager& manager, PluginPanelItem*& items, int& count);
// Asks for a group's counts with GROUP; on 211 takes First and Last and clears kRefreshGroup.
// Any other reply leaves the record marked. Raises only the socket's failures.
void RefreshGroup(TNewsInternetManager& manager, TGroupRecord& group);
// Flags the groups selected in the panel as own groups and returns to the own-groups view;
// false when the user declined.
bool AddGroups(TNewsInternetManager& manager, TKeyContext& context);
// Removes the own-group flag of the selected groups; false when nothing changed.
bool DropGroups(TNewsInternetManager& manager, TKeyContext& context);
// Asks for the group mask; when accepted, stores it ("", "*.*", "*." and "." become "*"),
// switches to the all-groups view and returns true.
bool AskGroupMask(TNewsInternetManager& manager);
// Marks for refresh every cached group (flagFilter 0) or every group carrying flagFilter.
void MarkGroupsForRefresh(TNewsInternetManager& manager, uint32_t flagFilter);

}  // namespace kestrova

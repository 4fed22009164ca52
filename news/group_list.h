// The group list of a connected server: the server's groups cached under the key "." with the
// user's own groups flagged in it, listed at the server's top (the own-groups and all-groups
// states of TNewsInternetManager).
#pragma once

#include "hostapi/plugin_api.h"

namespace kestrova {

class TNewsInternetManager;
struct TKeyContext;

// The listing of the own-groups or the all-groups view into a new array; in the all-groups
// view with ReloadGroupList set the server is asked for its groups first (LIST, or NEWGROUPS
// since the cached list's stamp). Raises EInternetError ("GetGroupsInfo") for a refused list.
void GetGroupsInfo(TNewsInternetManager& manager, PluginPanelItem*& items, int& count);
// Flags the groups selected in the panel as own groups and returns to the own-groups view;
// false when the user declined.
bool AddGroups(TNewsInternetManager& manager, TKeyContext& context);
// Removes the own-group flag of the selected groups; false when nothing changed.
bool DropGroups(TNewsInternetManager& manager, TKeyContext& context);
// Asks for the group mask; when accepted, stores it, switches to the all-groups view and
// returns true.
bool AskGroupMask(TNewsInternetManager& manager);
// Marks for refresh every cached group (flagFilter 0) or every group carrying flagFilter.
void MarkGroupsForRefresh(TNewsInternetManager& manager, uint32_t flagFilter);

// The own-group flag of a group record.
inline constexpr uint32_t kOwnGroup = 0x100;

}  // namespace kestrova

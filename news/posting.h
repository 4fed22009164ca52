// What composing an article needs to know of a connected session.
#pragma once

#include <string>

#include "common/string_list.h"

namespace kestrova {

class TNewsInternetManager;

// The names of the cached group list, leaving out the groups that allow no posting.
TStringList PostingGroupNames(TNewsInternetManager& manager);
// The group whose folder is open; empty outside a group.
std::string CurrentGroupName(TNewsInternetManager& manager);

}  // namespace kestrova

// The article index of a group: header records cached under the group's name, built by walking
// the group the first time and extended with NEWNEWS afterwards (the in-group state of
// TNewsInternetManager).
#pragma once

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {

class TNewsInternetManager;

// The articles of group into a new array; asks the server for new articles when the manager's
// UpdateGroup is set. Raises what the exchanges raise.
void GetArticlesInfo(TNewsInternetManager& manager, const std::string& group,
                     PluginPanelItem*& items, int& count);
// Marks every record of the current group's cached index to be read again.
void MarkArticlesForRefresh(TNewsInternetManager& manager);

}  // namespace kestrova

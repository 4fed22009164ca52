// Flat lists of a whole folder subtree, as the module asks for them with GetDirList and
// GetPluginDirList: names relative to the folder's parent ("folder/sub/file" on disk,
// "folder\sub\item" in the module's panel), each folder listed before its contents.
#pragma once

#include <string>

#include "host/module_calls.h"
#include "host/panel_item_list.h"

namespace kestrova::host {

// The subtree of a folder of the file system (OEM path, relative ones resolved against the
// process's current folder). False when dir is not a readable folder.
bool CollectLocalTree(const std::string& dir, PanelItemList& out);

// The subtree of a folder of the module's panel: enters it with SetDirectory, lists it with
// GetFindData (both with OPM_FIND), descends into every sub-folder and climbs back with "..";
// at the end the panel is back in the folder it started in. False when the module refuses to
// enter dir.
bool CollectPluginTree(ModuleCalls& module, HANDLE plugin, const std::string& dir,
                       PanelItemList& out);

}  // namespace kestrova::host

// Placeholder until the group list is built: every listing and group key is refused with a clear
// error, so the session can be used and tested on its own.
#include "news/group_list.h"

#include "common/errors.h"
#include "news/news_internet_manager.h"

namespace kestrova {

namespace {

[[noreturn]] void NotAvailable(const char* procName) {
    throw EInternetError(kRefused, "The group list is not available in this build.", procName);
}

}  // namespace

void GetGroupsInfo(TNewsInternetManager&, PluginPanelItem*&, int&) {
    NotAvailable("GetGroupsInfo");
}

bool AddGroups(TNewsInternetManager&, TKeyContext&) {
    NotAvailable("AddGroups");
}

bool DropGroups(TNewsInternetManager&, TKeyContext&) {
    NotAvailable("DropGroups");
}

bool AskGroupMask(TNewsInternetManager&) {
    NotAvailable("AskGroupMask");
}

void MarkGroupsForRefresh(TNewsInternetManager&, uint32_t) {
    NotAvailable("MarkGroupsForRefresh");
}

}  // namespace kestrova

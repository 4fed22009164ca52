#include "plugin/item_collection.h"

#include "common/errors.h"
#include "plugin/nntp_plugin.h"
#include "ui/host_services.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {
constexpr size_t kColumnTextLimit = 128;

}  // namespace

TFindItem MakeFindItem(const PluginPanelItem& item, bool fromPanel, bool internetMode) {
    TFindItem record;
    record.FindData = item.FindData;
    if (fromPanel && internetMode) {
        if (item.CustomColumnNumber > 0 && item.CustomColumnData && item.CustomColumnData[0])
            record.ColumnText = std::string(item.CustomColumnData[0]).substr(0, kColumnTextLimit);
        record.Number = item.UserData;
        if (item.Description) record.MessageId = item.Description;
    }
    return record;
}

bool CollectItems(TNntpPlugin& panel, const PluginPanelItem* items, int count, bool fromPanel,
                  std::vector<TFindItem>& list) {
    list.clear();
    if (count <= 0 || !items) return false;
    const bool internetMode = panel.Mode == PluginMode::Internet;
    for (int i = 0; i < count; ++i) list.push_back(MakeFindItem(items[i], fromPanel, internetMode));
    if (fromPanel && panel.Mode != PluginMode::Registry) return true;

    for (int i = 0; i < count; ++i) {
        list[i].ChildCount = 0;
        if ((list[i].FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
        const std::string name = list[i].FindData.cFileName;
        panel.ShowStatus(kOpRunning, GetMsg(kMsgPleaseWait), {}, name);
        PluginPanelItem* found = nullptr;
        int foundCount = 0;
        const int listed =
            fromPanel ? (StartupInfo.GetPluginDirList &&
                         StartupInfo.GetPluginDirList(StartupInfo.ModuleNumber, panel.Handle(),
                                                      name.c_str(), &found, &foundCount))
                      : (StartupInfo.GetDirList &&
                         StartupInfo.GetDirList(name.c_str(), &found, &foundCount));
        if (!listed) throw EAbort();
        if (!found) continue;
        try {
            for (int j = 0; j < foundCount; ++j)
                list.push_back(MakeFindItem(found[j], fromPanel, internetMode));
        } catch (...) {
            if (StartupInfo.FreeDirList) StartupInfo.FreeDirList(found);
            throw;
        }
        if (StartupInfo.FreeDirList) StartupInfo.FreeDirList(found);
    }
    return true;
}

}  // namespace kestrova

// The panel object behind one open panel of the module. The host holds it as an opaque handle
// from OpenPlugin (or OpenFilePlugin) until ClosePlugin.
//
// The registry-mode and internet-mode managers are not attached yet, so the object sets no mode
// and stays inactive: every panel operation gives its neutral answer.
#pragma once

#include <string>

#include "hostapi/plugin_api.h"
#include "plugin/far_plugin.h"

namespace kestrova {

class TNntpPlugin : public TFarPlugin {
  public:
    TNntpPlugin() = default;
    ~TNntpPlugin() override;

    // Opening from a file: raises EAbort (silently) unless the data begins with the account
    // file's section header, so the host goes on looking for another module.
    void OpenFilePlugin(const char* name, const unsigned char* data, int dataSize);

    // Panel operations; each answers neutrally while IsInactive.
    void GetOpenPluginInfo(OpenPluginInfo& info);
    int GetFindData(PluginPanelItem** items, int* itemsNumber, int opMode);
    void FreeFindData(PluginPanelItem* items, int itemsNumber);
    int GetFiles(PluginPanelItem* items, int itemsNumber, int move, const std::string& destPath,
                 int opMode);
    int PutFiles(PluginPanelItem* items, int itemsNumber, int move, int opMode);
    int SetDirectory(const std::string& dir, int opMode);
    int MakeDirectory(char* name, int opMode);
    int DeleteFiles(PluginPanelItem* items, int itemsNumber, int opMode);
    int ProcessKey(int key, unsigned controlState);
};

// The first bytes of an account file: its section header.
bool HasAccountFileSignature(const unsigned char* data, int dataSize);

}  // namespace kestrova

// Every call of the host into the module goes through here, so that each can be traced with its
// arguments, OpMode and answer.
#pragma once

#include <string>

#include "host/front_end.h"
#include "host/module_loader.h"

namespace kestrova::host {

class ModuleCalls {
  public:
    ModuleCalls(const ModuleEntryPoints& entries, FrontEnd& frontEnd)
        : entries_(entries), frontEnd_(frontEnd) {}

    void SetTracing(bool on) { tracing_ = on; }

    void SetStartupInfo(const PluginStartupInfo& info);
    void GetPluginInfo(PluginInfo& info);
    HANDLE OpenPlugin(int openFrom, intptr_t item, const std::string& itemText);
    HANDLE OpenFilePlugin(const std::string& name, const unsigned char* data, int size);
    void ClosePlugin(HANDLE plugin);
    void GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo& info);
    int GetFindData(HANDLE plugin, PluginPanelItem** items, int* count, int opMode);
    void FreeFindData(HANDLE plugin, PluginPanelItem* items, int count);
    int GetFiles(HANDLE plugin, PluginPanelItem* items, int count, int move, char* destPath,
                 int opMode);
    int PutFiles(HANDLE plugin, PluginPanelItem* items, int count, int move, int opMode);
    int SetDirectory(HANDLE plugin, const std::string& dir, int opMode);
    int MakeDirectory(HANDLE plugin, char* name, int opMode);
    int DeleteFiles(HANDLE plugin, PluginPanelItem* items, int count, int opMode);
    int ProcessKey(HANDLE plugin, int key, unsigned controlState);
    int ProcessEvent(HANDLE plugin, int event, void* param);
    int Configure(int itemNumber);
    void ExitFAR();

    // The module panel's current folder, as GetOpenPluginInfo reports it.
    std::string CurrentFolder(HANDLE plugin);

  private:
    void Trace(const std::string& text);

    const ModuleEntryPoints& entries_;
    FrontEnd& frontEnd_;
    bool tracing_ = false;
};

}  // namespace kestrova::host

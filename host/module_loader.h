// Loads the module library and resolves its seventeen entry points.
#pragma once

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova::host {

struct ModuleEntryPoints {
    PFN_SetStartupInfo SetStartupInfo = nullptr;
    PFN_GetPluginInfo GetPluginInfo = nullptr;
    PFN_OpenPlugin OpenPlugin = nullptr;
    PFN_OpenFilePlugin OpenFilePlugin = nullptr;
    PFN_ClosePlugin ClosePlugin = nullptr;
    PFN_GetOpenPluginInfo GetOpenPluginInfo = nullptr;
    PFN_GetFindData GetFindData = nullptr;
    PFN_FreeFindData FreeFindData = nullptr;
    PFN_GetFiles GetFiles = nullptr;
    PFN_PutFiles PutFiles = nullptr;
    PFN_SetDirectory SetDirectory = nullptr;
    PFN_MakeDirectory MakeDirectory = nullptr;
    PFN_DeleteFiles DeleteFiles = nullptr;
    PFN_ProcessKey ProcessKey = nullptr;
    PFN_ProcessEvent ProcessEvent = nullptr;
    PFN_Configure Configure = nullptr;
    PFN_ExitFAR ExitFAR = nullptr;
};

// The module library, open for the object's lifetime.
class LoadedModule {
  public:
    // Throws HostError when the library cannot be opened or lacks an entry point (named).
    explicit LoadedModule(const std::string& path);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const std::string& Path() const { return path_; }
    const ModuleEntryPoints& Entries() const { return entries_; }

  private:
    std::string path_;
    void* library_ = nullptr;
    ModuleEntryPoints entries_;
};

// KESTROVA_MODULE when set, otherwise kestrova.so beside the host's executable or, installed,
// in ../lib/kestrova.
std::string DefaultModulePath();
// The folder of the language files: lang/ beside the module, or share/kestrova/lang of the
// prefix the module is installed under (PREFIX/lib/kestrova/kestrova.so).
std::string LanguageFolder(const std::string& modulePath);

// The folder of a path (without the trailing delimiter); "." for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace kestrova::host

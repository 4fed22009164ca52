// The base of the object a panel owns while it is connected to a server: the owning panel, the
// callback into it and the current path inside the server. The virtual operations are what the
// panel calls; the news session fills them for NNTP.
#pragma once

#include <cstdint>
#include <string>

#include "hostapi/plugin_api.h"
#include "ui/event_kinds.h"

namespace kestrova {

class TInternetManager {
  public:
    explicit TInternetManager(HANDLE owner) : Owner(owner) {}
    virtual ~TInternetManager() = default;
    TInternetManager(const TInternetManager&) = delete;
    TInternetManager& operator=(const TInternetManager&) = delete;

    // Stores path; one trailing Delimiter is removed from a path of two or more characters.
    virtual void SetPath(const std::string& path);
    virtual std::string GetPath();
    // ".." at the top of the server (Path of at most one component) raises EInternetLeave;
    // nothing else happens in the base.
    virtual void SetDirectory(const std::string& name);
    // A connection is open (none in the base).
    virtual bool IsConnected() { return false; }
    // Adds the filter, sort-group and highlighting flags; descriptor is the shortcut text the
    // subclass builds (the base leaves it alone).
    virtual void GetOpenPluginInfo(OpenPluginInfo& info, std::string& descriptor);
    // The start and end of a panel action; nothing in the base.
    virtual void StartAction(int action);
    virtual void StopAction(int action);

    // Calls OnEvent when it is set; 0 otherwise.
    int DoEvent(int kind, intptr_t param1, intptr_t param2);

    HANDLE Owner;
    TInternetEvent OnEvent;
    std::string Path;
    char Delimiter = '\\';
};

}  // namespace kestrova

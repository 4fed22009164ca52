// The generic host panel object: its mode (PluginMode, named apart from the host's PanelMode
// record), the texts it hands to the host, the saved screen, and the view-mode memory that gives
// the host panel back the view mode it had before the module changed it.
#pragma once

#include <cstdint>
#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {

enum class PluginMode : uint8_t {
    None = 0,      // before a subclass sets a mode
    Registry = 1,  // the stored accounts
    Internet = 2,  // connected to one account's server
    Closing = 3,   // while the object is destroyed
};

class TFarPlugin {
  public:
    TFarPlugin() = default;
    virtual ~TFarPlugin() = default;
    TFarPlugin(const TFarPlugin&) = delete;
    TFarPlugin& operator=(const TFarPlugin&) = delete;

    // True before a mode is set and while closing: every panel operation then gives its
    // neutral answer without doing anything.
    virtual bool IsInactive() const;
    // Host panel events: a view-mode change is remembered for the current mode. Always 0.
    virtual int ProcessEvent(int event, void* param);

    // Records the panel's view mode: for mode Registry or Internet as that mode's remembered
    // value in the settings store, for any other mode in SavedViewMode. Failures are swallowed.
    void SaveViewMode(PluginMode mode);
    // Applies the view mode remembered for mode (SavedViewMode for any other mode) when there
    // is one. Failures are swallowed.
    void RestoreViewMode(PluginMode mode);

    // The handle the host knows this panel by.
    HANDLE Handle() const;

    PluginMode Mode = PluginMode::None;
    // The mode whose remembered view mode was last applied; None until the first listing.
    PluginMode AppliedMode = PluginMode::None;
    int SavedViewMode = -1;  // the host panel's own view mode; -1 until recorded
    std::string PanelTitle;
    std::string CurDir;
    std::string ShortcutData;
    HANDLE SavedScreen = nullptr;  // none when null
};

}  // namespace kestrova

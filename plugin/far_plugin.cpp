#include "plugin/far_plugin.h"

#include "store/reg_ini_file.h"
#include "ui/host_services.h"
#include "ui/module_state.h"

namespace kestrova {
namespace {

// Values under the options key that remember the view mode chosen in each mode.
const char* ViewModeValue(PluginMode mode) {
    switch (mode) {
        case PluginMode::Registry:
            return "Registry mode";
        case PluginMode::Internet:
            return "Internet mode";
        default:
            return nullptr;
    }
}

}  // namespace

bool TFarPlugin::IsInactive() const {
    return Mode == PluginMode::None || Mode == PluginMode::Closing;
}

int TFarPlugin::ProcessEvent(int event, void*) {
    if (event == FE_CHANGEVIEWMODE) SaveViewMode(Mode);
    return 0;
}

HANDLE TFarPlugin::Handle() const {
    return const_cast<void*>(dynamic_cast<const void*>(this));
}

void TFarPlugin::SaveViewMode(PluginMode mode) {
    try {
        if (!StartupInfo.Control) return;
        PanelInfo info{};
        const HANDLE panel = IsInactive() ? INVALID_HANDLE_VALUE : Handle();
        if (!StartupInfo.Control(panel, FCTL_GETPANELINFO, &info)) return;
        if (const char* value = ViewModeValue(mode))
            TRegIniFile(OptionsKey).WriteInteger("", value, info.ViewMode);
        else
            SavedViewMode = info.ViewMode;
    } catch (...) {
        // The view mode is a convenience; the panel works without it.
    }
}

void TFarPlugin::RestoreViewMode(PluginMode mode) {
    try {
        int viewMode = SavedViewMode;
        if (mode == PluginMode::Registry)
            viewMode = TRegIniFile(OptionsKey).ReadInteger("", ViewModeValue(mode), 0);
        else if (mode == PluginMode::Internet)
            viewMode = TRegIniFile(OptionsKey).ReadInteger("", ViewModeValue(mode), -1);
        if (viewMode >= 0 && StartupInfo.Control)
            StartupInfo.Control(Handle(), FCTL_SETVIEWMODE, &viewMode);
    } catch (...) {
        // As above.
    }
}

}  // namespace kestrova

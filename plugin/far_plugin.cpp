#include "plugin/far_plugin.h"

#include "store/reg_ini_file.h"
#include "ui/host_services.h"
#include "ui/module_state.h"

namespace kestrova {
namespace {

// Values under the options key that remember the view mode chosen in each mode.
const char* ViewModeValue(PanelMode mode) {
    switch (mode) {
        case PanelMode::Registry:
            return "Registry mode";
        case PanelMode::Internet:
            return "Internet mode";
        default:
            return nullptr;
    }
}

}  // namespace

bool TFarPlugin::IsInactive() const {
    return Mode == PanelMode::None || Mode == PanelMode::Closing;
}

int TFarPlugin::ProcessEvent(int event, void*) {
    if (event == FE_CHANGEVIEWMODE) SaveViewMode(Mode);
    return 0;
}

HANDLE TFarPlugin::Handle() const {
    return const_cast<void*>(dynamic_cast<const void*>(this));
}

void TFarPlugin::SaveViewMode(PanelMode mode) {
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

void TFarPlugin::RestoreViewMode(PanelMode mode) {
    try {
        int viewMode = SavedViewMode;
        if (mode == PanelMode::Registry)
            viewMode = TRegIniFile(OptionsKey).ReadInteger("", ViewModeValue(mode), 0);
        else if (mode == PanelMode::Internet)
            viewMode = TRegIniFile(OptionsKey).ReadInteger("", ViewModeValue(mode), -1);
        if (viewMode >= 0 && StartupInfo.Control)
            StartupInfo.Control(Handle(), FCTL_SETVIEWMODE, &viewMode);
    } catch (...) {
        // As above.
    }
}

}  // namespace kestrova

#include "plugin/far_plugin.h"

namespace kestrova {

bool TFarPlugin::IsInactive() const {
    return Mode == PanelMode::None || Mode == PanelMode::Closing;
}

int TFarPlugin::ProcessEvent(int, void*) {
    return 0;
}

}  // namespace kestrova

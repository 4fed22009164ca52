// The module-wide copies of the host's service tables, written once by SetStartupInfo; every host
// call of the module goes through them.
#pragma once

#include "hostapi/plugin_api.h"

namespace kestrova {

extern PluginStartupInfo StartupInfo;
extern FarStandardFunctions StandardFunctions;

}  // namespace kestrova

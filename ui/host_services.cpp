#include "ui/host_services.h"

namespace kestrova {

PluginStartupInfo StartupInfo{};
FarStandardFunctions StandardFunctions{};

}  // namespace kestrova

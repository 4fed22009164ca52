// The service table and standard functions handed to the module: plain functions that forward
// to the one host of the process.
#pragma once

#include "hostapi/plugin_api.h"

namespace kestrova::host {

class Host;

// Points the services at host (null detaches them) and fills both tables; info.FSF points at
// functions.
void BindServices(Host* host, PluginStartupInfo& info, FarStandardFunctions& functions);

}  // namespace kestrova::host

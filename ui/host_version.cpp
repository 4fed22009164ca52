#include "ui/host_version.h"

#include "ui/host_services.h"

namespace kestrova {

unsigned HostVersion() {
    // The copy is zero beyond what the host passed, so a null AdvControl means "not offered".
    if (StartupInfo.AdvControl) {
        int version = 0;
        StartupInfo.AdvControl(StartupInfo.ModuleNumber, ACTL_GETFARVERSION, &version);
        return (static_cast<unsigned>(version) & 0xFFFFu) | 0x10000u;
    }
    return static_cast<unsigned>(StartupInfo.StructSize);
}

}  // namespace kestrova

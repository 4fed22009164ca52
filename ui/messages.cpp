#include "ui/messages.h"

#include "ui/host_services.h"

namespace kestrova {

const char* GetMsg(int num) {
    if (!StartupInfo.GetMsg) return "";
    const char* text = StartupInfo.GetMsg(StartupInfo.ModuleNumber, num);
    return text ? text : "";
}

}  // namespace kestrova

// Start-up and shut-down entry points: the copy of the host's tables, the module's keys and
// options, the plugin information for the host's menus, and the release at exit.
#include <algorithm>
#include <cstring>

#include "common/path_utils.h"
#include "hostapi/plugin_api.h"
#include "plugin/error_text.h"
#include "ui/host_services.h"
#include "ui/host_version.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"
#include "ui/product_info.h"

namespace kestrova {
namespace {

// The one menu text of the module and the hot-key number of its disks-menu entry; the host
// keeps pointers to both.
const char* MenuString = nullptr;
int DiskMenuNumber = 0;

// How many bytes of a host record of declared size to copy into ours: never more than ours
// holds, and only whole pointer-aligned fields, so that a short table cannot leave half a
// function pointer behind.
size_t CopySize(int declared, size_t ours) {
    const size_t size = std::min(static_cast<size_t>(std::max(declared, 0)), ours);
    return size - size % alignof(void*);
}

}  // namespace
}  // namespace kestrova

using namespace kestrova;

KESTROVA_EXPORT void SetStartupInfo(const PluginStartupInfo* info) {
    try {
        PrivateRoot = "Software\\Olmwood\\Kestrova\\";
        CommandPrefix = "news:nntps:snews";
        StartupInfo = PluginStartupInfo{};
        StandardFunctions = FarStandardFunctions{};
        if (!info) return;
        std::memcpy(&StartupInfo, info, CopySize(info->StructSize, sizeof StartupInfo));
        if (const FarStandardFunctions* hostFunctions = StartupInfo.FSF) {
            std::memcpy(&StandardFunctions, hostFunctions,
                        CopySize(hostFunctions->StructSize, sizeof StandardFunctions));
            StartupInfo.FSF = &StandardFunctions;
        }
        if (HostVersion() < kMinimalHostVersion) return;

        const char* rootKey = StartupInfo.RootKey ? StartupInfo.RootKey : "";
        OptionsKey = CombinePath(rootKey, "Kestrova", '\\');
        FrameworkKey = CombinePath(rootKey, "Tarnwick", '\\');
        LoadAllOptions();
    } catch (...) {
        // Nothing may reach the host; options that failed to load keep their defaults, and the
        // user is told why (a settings store that cannot be opened names its file).
        ShowFailure(std::current_exception(), "SetStartupInfo");
    }
}

KESTROVA_EXPORT void GetPluginInfo(PluginInfo* info) {
    if (!info || HostVersion() < kMinimalHostVersion) return;
    try {
        MenuString = GetMsg(kMsgMenuEntry);
        DiskMenuNumber = Options.DiskMenuNumber;
        info->StructSize = sizeof(PluginInfo);
        info->DiskMenuStrings = &MenuString;
        info->DiskMenuNumbers = &DiskMenuNumber;
        if (Options.AddToDisksMenu) info->DiskMenuStringsNumber = 1;
        info->PluginMenuStrings = &MenuString;
        info->PluginMenuStringsNumber = 1;
        info->PluginConfigStrings = &MenuString;
        info->PluginConfigStringsNumber = 1;
        info->CommandPrefix = CommandPrefix.c_str();
    } catch (...) {
        info->StructSize = 0;
    }
}

KESTROVA_EXPORT void ExitFAR() {
    ProductInfo.Clear();
}

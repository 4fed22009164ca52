// Panel entry points: opening and closing panel objects and forwarding every panel call to the
// object behind the handle. No failure leaves an entry point towards the host.
#include <memory>
#include <string>

#include "hostapi/plugin_api.h"
#include "plugin/nntp_plugin.h"

namespace kestrova {
namespace {

TNntpPlugin* PanelOf(HANDLE plugin) {
    return plugin == INVALID_HANDLE_VALUE ? nullptr : static_cast<TNntpPlugin*>(plugin);
}

// Runs work on the panel behind the handle; the neutral answer when there is none or the work
// fails (the panel object reports its own failures before they get here).
template <typename Result, typename Work>
Result Forward(HANDLE plugin, Result neutral, Work work) {
    TNntpPlugin* panel = PanelOf(plugin);
    if (!panel) return neutral;
    try {
        return work(*panel);
    } catch (...) {
        return neutral;
    }
}

}  // namespace
}  // namespace kestrova

using namespace kestrova;

KESTROVA_EXPORT HANDLE OpenPlugin(int openFrom, intptr_t item) {
    try {
        auto panel = std::make_unique<TNntpPlugin>();
        const char* text = reinterpret_cast<const char*>(item);
        if (openFrom == OPEN_SHORTCUT)
            panel->OpenShortcut(text ? text : "");
        else if (openFrom == OPEN_COMMANDLINE)
            panel->OpenCommandLine(text ? text : "");
        else if (openFrom == OPEN_DISKMENU || openFrom == OPEN_PLUGINSMENU)
            panel->OpenFromMenu();
        return panel.release();
    } catch (...) {
        return INVALID_HANDLE_VALUE;
    }
}

KESTROVA_EXPORT HANDLE OpenFilePlugin(const char* name, const unsigned char* data, int dataSize) {
    try {
        auto panel = std::make_unique<TNntpPlugin>();
        panel->OpenFilePlugin(name ? name : "", data, dataSize);
        return panel.release();
    } catch (...) {
        return INVALID_HANDLE_VALUE;
    }
}

KESTROVA_EXPORT void ClosePlugin(HANDLE plugin) {
    try {
        delete PanelOf(plugin);
    } catch (...) {
        // Failures while closing are swallowed.
    }
}

KESTROVA_EXPORT void GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info) {
    if (!info) return;
    Forward(plugin, 0, [&](TNntpPlugin& panel) {
        panel.GetOpenPluginInfo(*info);
        return 0;
    });
}

KESTROVA_EXPORT int GetFindData(HANDLE plugin, PluginPanelItem** items, int* itemsNumber,
                                int opMode) {
    if (!items || !itemsNumber) return 1;
    *items = nullptr;
    *itemsNumber = 0;
    return Forward(plugin, 1, [&](TNntpPlugin& panel) {
        return panel.GetFindData(items, itemsNumber, opMode);
    });
}

KESTROVA_EXPORT void FreeFindData(HANDLE plugin, PluginPanelItem* items, int itemsNumber) {
    Forward(plugin, 0, [&](TNntpPlugin& panel) {
        panel.FreeFindData(items, itemsNumber);
        return 0;
    });
}

KESTROVA_EXPORT int GetFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int move,
                             char* destPath, int opMode) {
    return Forward(plugin, 0, [&](TNntpPlugin& panel) {
        return panel.GetFiles(items, itemsNumber, move, destPath ? destPath : "", opMode);
    });
}

KESTROVA_EXPORT int PutFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int move,
                             int opMode) {
    return Forward(plugin, 0, [&](TNntpPlugin& panel) {
        return panel.PutFiles(items, itemsNumber, move, opMode);
    });
}

KESTROVA_EXPORT int SetDirectory(HANDLE plugin, const char* dir, int opMode) {
    return Forward(plugin, 0,
                   [&](TNntpPlugin& panel) { return panel.SetDirectory(dir ? dir : "", opMode); });
}

KESTROVA_EXPORT int MakeDirectory(HANDLE plugin, char* name, int opMode) {
    if (!name) return 0;
    return Forward(plugin, 0,
                   [&](TNntpPlugin& panel) { return panel.MakeDirectory(name, opMode); });
}

KESTROVA_EXPORT int DeleteFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber,
                                int opMode) {
    return Forward(plugin, 0, [&](TNntpPlugin& panel) {
        return panel.DeleteFiles(items, itemsNumber, opMode);
    });
}

KESTROVA_EXPORT int ProcessKey(HANDLE plugin, int key, unsigned controlState) {
    return Forward(plugin, 0,
                   [&](TNntpPlugin& panel) { return panel.ProcessKey(key, controlState); });
}

KESTROVA_EXPORT int ProcessEvent(HANDLE plugin, int event, void* param) {
    return Forward(plugin, 0, [&](TNntpPlugin& panel) { return panel.ProcessEvent(event, param); });
}

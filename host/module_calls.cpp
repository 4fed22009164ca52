#include "host/module_calls.h"

#include <cstdio>

#include "host/panel_item_list.h"

namespace kestrova::host {
namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Hex(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(value));
    return buffer;
}

std::string Names(const PluginPanelItem* items, int count) {
    std::string names = "[";
    for (int i = 0; i < count; ++i) names += (i ? ", " : "") + Quoted(ItemName(items[i]));
    return names + "]";
}

}  // namespace

void ModuleCalls::Trace(const std::string& text) {
    if (tracing_) frontEnd_.Trace(text);
}

void ModuleCalls::SetStartupInfo(const PluginStartupInfo& info) {
    Trace("SetStartupInfo");
    entries_.SetStartupInfo(&info);
}

void ModuleCalls::GetPluginInfo(PluginInfo& info) {
    Trace("GetPluginInfo");
    entries_.GetPluginInfo(&info);
}

HANDLE ModuleCalls::OpenPlugin(int openFrom, intptr_t item, const std::string& itemText) {
    HANDLE plugin = entries_.OpenPlugin(openFrom, item);
    Trace("OpenPlugin(" + std::to_string(openFrom) + ", " + itemText + ") -> " +
          (plugin == INVALID_HANDLE_VALUE ? "refused" : "panel"));
    return plugin;
}

HANDLE ModuleCalls::OpenFilePlugin(const std::string& name, const unsigned char* data, int size) {
    HANDLE plugin = entries_.OpenFilePlugin(name.c_str(), data, size);
    Trace("OpenFilePlugin(" + Quoted(name) + ", " + std::to_string(size) + " bytes) -> " +
          (plugin == INVALID_HANDLE_VALUE ? "refused" : "panel"));
    return plugin;
}

void ModuleCalls::ClosePlugin(HANDLE plugin) {
    Trace("ClosePlugin");
    entries_.ClosePlugin(plugin);
}

void ModuleCalls::GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo& info) {
    entries_.GetOpenPluginInfo(plugin, &info);
}

int ModuleCalls::GetFindData(HANDLE plugin, PluginPanelItem** items, int* count, int opMode) {
    const int result = entries_.GetFindData(plugin, items, count, opMode);
    Trace("GetFindData(" + Hex(opMode) + ") -> " + std::to_string(result) + ", " +
          std::to_string(*count) + " items");
    return result;
}

void ModuleCalls::FreeFindData(HANDLE plugin, PluginPanelItem* items, int count) {
    entries_.FreeFindData(plugin, items, count);
}

int ModuleCalls::GetFiles(HANDLE plugin, PluginPanelItem* items, int count, int move,
                          char* destPath, int opMode) {
    const std::string names = Names(items, count);
    const int result = entries_.GetFiles(plugin, items, count, move, destPath, opMode);
    Trace("GetFiles(" + names + ", move " + std::to_string(move) + ", " + Hex(opMode) + ") -> " +
          std::to_string(result));
    return result;
}

int ModuleCalls::PutFiles(HANDLE plugin, PluginPanelItem* items, int count, int move, int opMode) {
    const std::string names = Names(items, count);
    const int result = entries_.PutFiles(plugin, items, count, move, opMode);
    Trace("PutFiles(" + names + ", move " + std::to_string(move) + ", " + Hex(opMode) + ") -> " +
          std::to_string(result));
    return result;
}

int ModuleCalls::SetDirectory(HANDLE plugin, const std::string& dir, int opMode) {
    const int result = entries_.SetDirectory(plugin, dir.c_str(), opMode);
    Trace("SetDirectory(" + Quoted(dir) + ", " + Hex(opMode) + ") -> " + std::to_string(result));
    return result;
}

int ModuleCalls::MakeDirectory(HANDLE plugin, char* name, int opMode) {
    const int result = entries_.MakeDirectory(plugin, name, opMode);
    Trace("MakeDirectory(" + Quoted(name) + ", " + Hex(opMode) + ") -> " + std::to_string(result));
    return result;
}

int ModuleCalls::DeleteFiles(HANDLE plugin, PluginPanelItem* items, int count, int opMode) {
    const std::string names = Names(items, count);
    const int result = entries_.DeleteFiles(plugin, items, count, opMode);
    Trace("DeleteFiles(" + names + ", " + Hex(opMode) + ") -> " + std::to_string(result));
    return result;
}

int ModuleCalls::ProcessKey(HANDLE plugin, int key, unsigned controlState) {
    const int result = entries_.ProcessKey(plugin, key, controlState);
    Trace("ProcessKey(" + Hex(key) + ", " + Hex(static_cast<int>(controlState)) + ") -> " +
          std::to_string(result));
    return result;
}

int ModuleCalls::ProcessEvent(HANDLE plugin, int event, void* param) {
    const int result = entries_.ProcessEvent(plugin, event, param);
    Trace("ProcessEvent(" + std::to_string(event) + ") -> " + std::to_string(result));
    return result;
}

int ModuleCalls::Configure(int itemNumber) {
    const int result = entries_.Configure(itemNumber);
    Trace("Configure(" + std::to_string(itemNumber) + ") -> " + std::to_string(result));
    return result;
}

void ModuleCalls::ExitFAR() {
    Trace("ExitFAR");
    entries_.ExitFAR();
}

std::string ModuleCalls::CurrentFolder(HANDLE plugin) {
    OpenPluginInfo info{};
    info.StructSize = sizeof info;
    entries_.GetOpenPluginInfo(plugin, &info);
    return info.CurDir ? info.CurDir : "";
}

}  // namespace kestrova::host

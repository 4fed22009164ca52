// A small module for testing the host: an in-memory folder tree that answers every entry point
// and calls the host's services the way the real module does. View modes, key bars and item
// descriptions are checked with the real module.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"

namespace {

enum Msg { MMenu, MOk, MFolderItems };

PluginStartupInfo Info;
FarStandardFunctions Functions;
const char* MenuString;

const char* Text(int n) {
    return Info.GetMsg(Info.ModuleNumber, n);
}

// Every file and folder by its path from the top ("\alpha\one.txt"), each folder's items in
// the order listed.
struct Entry {
    std::string Path;
    bool Folder = false;
    std::string Content = "";
};
std::vector<Entry> Tree = {{"\\alpha", true},
                           {"\\alpha\\one.txt", false, "first file\n"},
                           {"\\alpha\\deep", true},
                           {"\\alpha\\deep\\two.txt", false, "second\n"},
                           {"\\alpha\\locked", true},
                           {"\\beta", true},
                           {"\\readme.txt", false, "read me\n"}};

struct Panel {
    std::string Path, CurDir, Title;  // Path: "" at the top
};

std::string Parent(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

Entry* Find(const std::string& path) {
    for (Entry& entry : Tree)
        if (entry.Path == path) return &entry;
    return nullptr;
}

// Enters dir: "..", a name or "a\b". False when there is no such folder.
bool Enter(Panel& panel, const std::string& dir) {
    std::string path = panel.Path;
    std::stringstream parts(dir);
    for (std::string part; std::getline(parts, part, '\\');) {
        if (part == ".." && path.empty()) return false;
        path = part == ".." ? Parent(path) : part.empty() ? path : path + "\\" + part;
        if (!path.empty() && !(Find(path) && Find(path)->Folder)) return false;
    }
    panel.Path = path;
    return true;
}

// Lists the current item of this panel (GetPluginDirList, back where it started) or of the
// other, local one (GetDirList) in a box.
void ShowDirList(Panel* panel, bool local) {
    PanelInfo info{};
    Info.Control(local ? INVALID_HANDLE_VALUE : panel,
                 local ? FCTL_GETANOTHERPANELINFO : FCTL_GETPANELINFO, &info);
    const char* name = info.PanelItems[info.CurrentItem].FindData.cFileName;
    PluginPanelItem* items = nullptr;
    int count = 0;
    const bool listed = local
                            ? Info.GetDirList(name, &items, &count)
                            : Info.GetPluginDirList(Info.ModuleNumber, panel, name, &items, &count);
    std::vector<std::string> lines{Text(MFolderItems)};
    for (int i = 0; listed && i < count; ++i) lines.push_back(items[i].FindData.cFileName);
    if (listed) Info.FreeDirList(items);
    const std::string curDir = info.CurDir;
    lines.push_back(!listed ? "refused"
                    : local ? "in " + curDir.substr(curDir.rfind('/'))
                            : "back in " + panel->CurDir);
    lines.push_back(Text(MOk));
    std::vector<const char*> texts;
    for (const std::string& line : lines) texts.push_back(line.c_str());
    Info.Message(Info.ModuleNumber, 0, nullptr, texts.data(), static_cast<int>(texts.size()), 1);
}

void CopyNamesToClipboard(Panel* panel) {
    PanelInfo info{};
    Info.Control(panel, FCTL_GETPANELINFO, &info);
    std::string text;
    for (int i = 0; i < info.SelectedItemsNumber; ++i)
        text += std::string(info.SelectedItems[i].FindData.cFileName) + "\n";
    Info.FSF->CopyToClipboard(text.c_str());
}

}  // namespace

KESTROVA_EXPORT void SetStartupInfo(const PluginStartupInfo* info) {
    Info = *info;
    Functions = *info->FSF;
    Info.FSF = &Functions;
}

KESTROVA_EXPORT void GetPluginInfo(PluginInfo* info) {
    static int diskNumber = 3;
    MenuString = Text(MMenu);
    info->StructSize = sizeof *info;
    info->DiskMenuStrings = &MenuString;
    info->DiskMenuNumbers = &diskNumber;
    info->DiskMenuStringsNumber = 1;
    info->PluginMenuStrings = &MenuString;
    info->PluginMenuStringsNumber = 1;
    info->CommandPrefix = "news:fake";
}

KESTROVA_EXPORT HANDLE OpenPlugin(int openFrom, intptr_t item) {
    auto panel = std::make_unique<Panel>();
    if (openFrom == OPEN_COMMANDLINE || openFrom == OPEN_SHORTCUT) {
        std::string text = reinterpret_cast<const char*>(item);
        // Two prefixes: the host hands over the whole command line, prefix included.
        if (openFrom == OPEN_COMMANDLINE) {
            const size_t colon = text.find(':');
            if (colon == std::string::npos) return INVALID_HANDLE_VALUE;
            text.erase(0, colon + 1);
        }
        if (!text.empty() && !Enter(*panel, text)) return INVALID_HANDLE_VALUE;
    }
    return panel.release();
}

KESTROVA_EXPORT HANDLE OpenFilePlugin(const char*, const unsigned char*, int) {
    return INVALID_HANDLE_VALUE;
}

KESTROVA_EXPORT void ClosePlugin(HANDLE plugin) {
    delete static_cast<Panel*>(plugin);
}

KESTROVA_EXPORT void GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info) {
    Panel& panel = *static_cast<Panel*>(plugin);
    panel.CurDir = panel.Path.empty() ? "\\" : panel.Path;
    panel.Title = "Fake:" + panel.CurDir;
    info->Flags |= OPIF_ADDDOTS;
    info->CurDir = panel.CurDir.c_str();
    info->PanelTitle = panel.Title.c_str();
    info->ShortcutData = panel.CurDir.c_str();
}

KESTROVA_EXPORT int GetFindData(HANDLE plugin, PluginPanelItem** items, int* itemsNumber, int) {
    const std::string& path = static_cast<Panel*>(plugin)->Path;
    *items = new PluginPanelItem[Tree.size()]();
    *itemsNumber = 0;
    for (const Entry& entry : Tree) {
        if (Parent(entry.Path) != path) continue;
        PluginPanelItem& item = (*items)[(*itemsNumber)++];
        const std::string name = entry.Path.substr(path.size() + 1);
        std::snprintf(item.FindData.cFileName, NM, "%s", name.c_str());
        item.FindData.dwFileAttributes =
            entry.Folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        item.FindData.nFileSizeLow = static_cast<uint32_t>(entry.Content.size());
    }
    return 1;
}

KESTROVA_EXPORT void FreeFindData(HANDLE, PluginPanelItem* items, int) {
    delete[] items;
}

// Copies only: moving out is checked with the real module.
KESTROVA_EXPORT int GetFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int,
                             char* destPath, int) {
    for (int i = 0; i < itemsNumber; ++i) {
        const char* name = items[i].FindData.cFileName;
        const Entry* file = Find(static_cast<Panel*>(plugin)->Path + "\\" + name);
        if (!file || file->Folder) continue;
        std::ofstream(std::string(destPath) + "/" + name, std::ios::binary) << file->Content;
        items[i].Flags &= ~PPIF_SELECTED;
    }
    return 1;
}

KESTROVA_EXPORT int PutFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int, int) {
    for (int i = 0; i < itemsNumber; ++i) {
        std::ostringstream content;
        content << std::ifstream(items[i].FindData.cFileName, std::ios::binary).rdbuf();
        const std::string path =
            static_cast<Panel*>(plugin)->Path + "\\" + items[i].FindData.cFileName;
        if (Entry* existing = Find(path))
            existing->Content = content.str();
        else
            Tree.push_back({path, false, content.str()});
    }
    return 1;
}

KESTROVA_EXPORT int SetDirectory(HANDLE plugin, const char* dir, int) {
    Panel* panel = static_cast<Panel*>(plugin);
    if (std::strcmp(dir, "..") == 0 && panel->Path.empty()) {
        // Leaving the top closes the panel, as the real module does.
        Info.Control(plugin, FCTL_CLOSEPLUGIN, nullptr);
        return 0;
    }
    return !std::strstr(dir, "locked") && Enter(*panel, dir) ? 1 : 0;  // a folder that refuses
}

// Making folders and deleting are checked with the real module's registry scripts.
KESTROVA_EXPORT int MakeDirectory(HANDLE, char*, int) {
    return 0;
}

KESTROVA_EXPORT int DeleteFiles(HANDLE, PluginPanelItem*, int, int) {
    return 0;
}

KESTROVA_EXPORT int ProcessKey(HANDLE plugin, int key, unsigned controlState) {
    Panel* panel = static_cast<Panel*>(plugin);
    if (key == VK_INSERT && controlState == (PKF_CONTROL | PKF_SHIFT))
        CopyNamesToClipboard(panel);
    else if (key == VK_F2 && (controlState == 0 || controlState == PKF_ALT))
        ShowDirList(panel, controlState == PKF_ALT);
    else
        return 0;
    return 1;
}

KESTROVA_EXPORT int ProcessEvent(HANDLE, int, void*) {
    return 0;
}

KESTROVA_EXPORT int Configure(int) {
    return 0;
}

KESTROVA_EXPORT void ExitFAR() {}

// A small module for testing the host: an in-memory folder tree that answers every entry point
// and calls the host's services the way the real module does (messages, menus, dialogs, panel
// control, dir lists, clipboard).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
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

struct Node {
    std::string Name;
    bool Folder = false;
    std::string Content;
    std::vector<Node> Children;
};

Node File(const std::string& name, const std::string& content) {
    return {name, false, content, {}};
}
Node Dir(const std::string& name, std::vector<Node> children) {
    return {name, true, "", std::move(children)};
}

Node Root = Dir("", {Dir("alpha", {File("one.txt", "first file\n"),
                                   Dir("deep", {File("two.txt", "second\n")}), Dir("locked", {})}),
                     Dir("beta", {}), File("readme.txt", "read me\n")});

struct Panel {
    std::vector<std::string> Path;
    std::string CurDir, Title, Shortcut;
    const char* ColumnTitles[3] = {"Name", "Size", "Note"};
    PanelMode Modes[10] = {};
    KeyBarTitles KeyBar = {};
};

Node* Folder(const std::vector<std::string>& path) {
    Node* node = &Root;
    for (const std::string& name : path) {
        Node* next = nullptr;
        for (Node& child : node->Children)
            if (child.Folder && child.Name == name) next = &child;
        if (!next) return nullptr;
        node = next;
    }
    return node;
}

// Enters dir: "..", a name, "a\b", or "\a" from the top. False when there is no such folder.
bool Enter(Panel& panel, std::string dir) {
    std::vector<std::string> path = panel.Path;
    if (!dir.empty() && dir[0] == '\\') {
        path.clear();
        dir.erase(0, 1);
    }
    std::stringstream parts(dir);
    for (std::string part; std::getline(parts, part, '\\');) {
        if (part == "..") {
            if (path.empty()) return false;
            path.pop_back();
        } else if (!part.empty()) {
            path.push_back(part);
        }
    }
    if (!Folder(path)) return false;
    panel.Path = path;
    return true;
}

int ShowMessage(unsigned flags, std::vector<const char*> lines, int buttons) {
    return Info.Message(Info.ModuleNumber, flags, nullptr, lines.data(),
                        static_cast<int>(lines.size()), buttons);
}

std::string Join(const std::vector<std::string>& path) {
    std::string text;
    for (const std::string& name : path) text += "\\" + name;
    return text.empty() ? "\\" : text;
}

// Lists the current item of this panel (GetPluginDirList, back where it started) or of the
// other, local one (GetDirList) in a box.
void ShowDirList(Panel* panel, bool local) {
    PanelInfo info{};
    Info.Control(local ? INVALID_HANDLE_VALUE : panel,
                 local ? FCTL_GETANOTHERPANELINFO : FCTL_GETPANELINFO, &info);
    if (info.CurrentItem < 0 || info.CurrentItem >= info.ItemsNumber) return;
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
                            : "back in " + Join(panel->Path));
    lines.push_back(Text(MOk));
    std::vector<const char*> texts;
    for (const std::string& line : lines) texts.push_back(line.c_str());
    ShowMessage(0, texts, 1);
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
    info->PluginConfigStrings = &MenuString;
    info->PluginConfigStringsNumber = 1;
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
    panel.CurDir = Join(panel.Path);
    panel.Title = "Fake:" + panel.CurDir;
    panel.Shortcut = panel.CurDir;
    panel.Modes[3].ColumnTypes = "N,S,C0";
    panel.Modes[3].ColumnWidths = "0,8,10";
    panel.Modes[3].ColumnTitles = panel.ColumnTitles;
    panel.KeyBar.Titles[6] = const_cast<char*>("MkFold");
    info->Flags |= OPIF_ADDDOTS | OPIF_SHOWPRESERVECASE;
    info->CurDir = panel.CurDir.c_str();
    info->PanelTitle = panel.Title.c_str();
    info->Format = "fake";
    info->ShortcutData = panel.Shortcut.c_str();
    info->PanelModesArray = panel.Modes;
    info->PanelModesNumber = 10;
    info->KeyBar = &panel.KeyBar;
}

KESTROVA_EXPORT int GetFindData(HANDLE plugin, PluginPanelItem** items, int* itemsNumber, int) {
    const Node* folder = Folder(static_cast<Panel*>(plugin)->Path);
    const int count = static_cast<int>(folder->Children.size());
    *items = count ? new PluginPanelItem[count]() : nullptr;
    *itemsNumber = count;
    for (int i = 0; i < count; ++i) {
        const Node& node = folder->Children[i];
        PluginPanelItem& item = (*items)[i];
        std::snprintf(item.FindData.cFileName, NM, "%s", node.Name.c_str());
        item.FindData.dwFileAttributes =
            node.Folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        item.FindData.nFileSizeLow = static_cast<uint32_t>(node.Content.size());
        if (!node.Folder) {
            item.Description = strdup(("about " + node.Name).c_str());
            item.CustomColumnNumber = 2;
            item.CustomColumnData = new char* [2] { strdup("c0"), strdup("c1") };
        }
    }
    return 1;
}

KESTROVA_EXPORT void FreeFindData(HANDLE, PluginPanelItem* items, int itemsNumber) {
    for (int i = 0; i < itemsNumber; ++i) {
        std::free(items[i].Description);
        for (int c = 0; c < items[i].CustomColumnNumber; ++c)
            std::free(items[i].CustomColumnData[c]);
        delete[] items[i].CustomColumnData;
    }
    delete[] items;
}

KESTROVA_EXPORT int GetFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int move,
                             char* destPath, int) {
    Node* folder = Folder(static_cast<Panel*>(plugin)->Path);
    for (int i = 0; i < itemsNumber; ++i) {
        for (size_t c = 0; c < folder->Children.size(); ++c) {
            Node& node = folder->Children[c];
            if (node.Folder || node.Name != items[i].FindData.cFileName) continue;
            std::ofstream(std::string(destPath) + "/" + node.Name, std::ios::binary)
                << node.Content;
            items[i].Flags &= ~PPIF_SELECTED;
            if (move) folder->Children.erase(folder->Children.begin() + static_cast<long>(c));
            break;
        }
    }
    return 1;
}

KESTROVA_EXPORT int PutFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int,
                             int opMode) {
    Node* folder = Folder(static_cast<Panel*>(plugin)->Path);
    for (int i = 0; i < itemsNumber; ++i) {
        std::ifstream in(items[i].FindData.cFileName, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        Node* existing = nullptr;
        for (Node& node : folder->Children)
            if (node.Name == items[i].FindData.cFileName) existing = &node;
        if (existing && (opMode & OPM_EDIT))
            existing->Content = content.str();
        else
            folder->Children.push_back(File(items[i].FindData.cFileName, content.str()));
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

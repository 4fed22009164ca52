#include "host/service_table.h"

#include <cstdlib>
#include <cstring>

#include "host/case_tables.h"
#include "host/char_tables.h"
#include "host/host.h"
#include "host/wildcard_match.h"
#include "platform/clipboard.h"

namespace kestrova::host {
namespace {

Host* boundHost = nullptr;

int Menu(intptr_t, int, int, int, unsigned flags, const char* title, const char* bottom,
         const char*, const int*, int* breakCode, const FarMenuItem* items, int itemsNumber) {
    return boundHost->Menu(flags, title, bottom, breakCode, items, itemsNumber);
}

int Dialog(intptr_t, int x1, int y1, int x2, int y2, const char* helpTopic, FarDialogItem* items,
           int itemsNumber) {
    return boundHost->Dialog(x1, y1, x2, y2, helpTopic, items, itemsNumber);
}

int Message(intptr_t, unsigned flags, const char*, const char* const* items, int itemsNumber,
            int buttonsNumber) {
    return boundHost->Message(flags, items, itemsNumber, buttonsNumber);
}

const char* GetMsg(intptr_t moduleNumber, int id) {
    return boundHost->GetMsg(moduleNumber, id);
}

int Control(HANDLE plugin, int command, void* param) {
    return boundHost->Control(plugin, command, param);
}

HANDLE SaveScreen(int, int, int, int) {
    return boundHost->SaveScreen();
}

void RestoreScreen(HANDLE screen) {
    boundHost->RestoreScreen(screen);
}

int GetDirList(const char* dir, PluginPanelItem** items, int* itemsNumber) {
    return boundHost->GetDirList(dir, items, itemsNumber);
}

int GetPluginDirList(intptr_t, HANDLE plugin, const char* dir, PluginPanelItem** items,
                     int* itemsNumber) {
    return boundHost->GetPluginDirList(plugin, dir, items, itemsNumber);
}

void FreeDirList(const PluginPanelItem* items) {
    boundHost->FreeDirList(items);
}

int Viewer(const char* fileName, const char* title, int, int, int, int, unsigned,
           const char* charset) {
    return boundHost->Viewer(fileName, title, charset);
}

int ViewerWithKeys(const char* fileName, const char* title, const char* charset,
                   const ViewerKeys* keys) {
    return boundHost->Viewer(fileName, title, charset, keys);
}

int Editor(const char* fileName, const char* title, int, int, int, int, unsigned, int startLine,
           int startChar) {
    return boundHost->Editor(fileName, title, startLine, startChar);
}

int CmpName(const char* pattern, const char* string, int skipPath) {
    return pattern && string && WildcardMatch(pattern, string, skipPath != 0) ? 1 : 0;
}

int CharTable(int n, char* buffer, int bufferSize) {
    if (!buffer || bufferSize < static_cast<int>(sizeof(CharTableSet))) return -1;
    CharTableSet table;
    if (!FillCharTableSet(n, table)) return -1;
    std::memcpy(buffer, &table, sizeof table);
    return n;
}

void Text(int x, int y, int, const char* text) {
    boundHost->Text(x, y, text);
}

intptr_t AdvControl(intptr_t moduleNumber, int command, void* param) {
    return boundHost->AdvControl(moduleNumber, command, param);
}

int LUpper(int ch) {
    return OemCaseTables().Upper[static_cast<unsigned char>(ch)];
}

int LLower(int ch) {
    return OemCaseTables().Lower[static_cast<unsigned char>(ch)];
}

int CopyToClipboard(const char* data) {
    if (!data) return 0;
    return platform::SetClipboardText(data) ? 1 : 0;
}

// The text is handed out in a malloc'ed copy that FreeClipboardData frees.
char* PasteFromClipboard() {
    const std::string text = platform::ClipboardText();
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void FreeClipboardData(char* data) {
    std::free(data);
}

}  // namespace

void BindServices(Host* host, PluginStartupInfo& info, FarStandardFunctions& functions) {
    boundHost = host;
    functions = FarStandardFunctions{};
    functions.StructSize = sizeof functions;
    functions.CmpName = CmpName;
    functions.LUpper = LUpper;
    functions.LLower = LLower;
    functions.CopyToClipboard = CopyToClipboard;
    functions.PasteFromClipboard = PasteFromClipboard;
    functions.FreeClipboardData = FreeClipboardData;

    info.StructSize = sizeof info;
    info.ModuleNumber = Host::kModuleNumber;
    info.RootKey = Host::kRootKey;
    info.Menu = Menu;
    info.Dialog = Dialog;
    info.Message = Message;
    info.GetMsg = GetMsg;
    info.Control = Control;
    info.SaveScreen = SaveScreen;
    info.RestoreScreen = RestoreScreen;
    info.GetDirList = GetDirList;
    info.GetPluginDirList = GetPluginDirList;
    info.FreeDirList = FreeDirList;
    info.Viewer = Viewer;
    info.ViewerWithKeys = ViewerWithKeys;
    info.Editor = Editor;
    info.CmpName = CmpName;
    info.CharTable = CharTable;
    info.Text = Text;
    info.AdvControl = AdvControl;
    info.FSF = &functions;
}

}  // namespace kestrova::host

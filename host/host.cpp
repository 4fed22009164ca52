#include "host/host.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/host_error.h"
#include "host/service_table.h"
#include "platform/filesystem.h"

namespace kestrova::host {
namespace {

constexpr size_t kFileHeadSize = 4096;  // what OpenFilePlugin sees of a file

std::vector<std::string> Texts(const char* const* texts, int count) {
    std::vector<std::string> copies;
    for (int i = 0; texts && i < count; ++i) copies.emplace_back(texts[i] ? texts[i] : "");
    return copies;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string CurrentFolder() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? platform::FromNativePath(buffer) : ".";
}

}  // namespace

Host::Host(const std::string& modulePath, FrontEnd& frontEnd, const std::string& localFolder)
    : frontEnd_(frontEnd),
      library_(modulePath),
      module_(library_.Entries(), frontEnd),
      language_(
          LanguageFile::Load(LanguageFolder(modulePath) + "/" +
                             LanguageFileName(std::getenv("KESTROVA_LANG"), std::getenv("LANG")))),
      help_(HelpFile::Load(
          LanguageFolder(modulePath) + "/" +
          HelpFileName(LanguageFileName(std::getenv("KESTROVA_LANG"), std::getenv("LANG"))))),
      startFolder_(localFolder.empty() ? CurrentFolder() : localFolder),
      activeLocal_(startFolder_),
      otherLocal_(startFolder_) {
    startFolder_ = otherLocal_.Folder();
    ChangeLocalFolder(startFolder_);
    BindServices(this, startupInfo_, standardFunctions_);
    std::strncpy(startupInfo_.ModuleName, platform::FromNativePath(library_.Path()).c_str(),
                 sizeof startupInfo_.ModuleName - 1);
    module_.SetStartupInfo(startupInfo_);
}

Host::~Host() {
    if (panel_) ClosePanelNow();
    module_.ExitFAR();
    PluginStartupInfo detached{};
    FarStandardFunctions detachedFunctions{};
    BindServices(nullptr, detached, detachedFunctions);
}

ModuleMenus Host::Menus() {
    PluginInfo info{};
    info.StructSize = sizeof info;
    module_.GetPluginInfo(info);
    ModuleMenus menus;
    if (info.StructSize == 0) return menus;
    menus.PluginMenu = Texts(info.PluginMenuStrings, info.PluginMenuStringsNumber);
    menus.DisksMenu = Texts(info.DiskMenuStrings, info.DiskMenuStringsNumber);
    menus.ConfigMenu = Texts(info.PluginConfigStrings, info.PluginConfigStringsNumber);
    menus.CommandPrefix = info.CommandPrefix ? info.CommandPrefix : "";
    return menus;
}

void Host::RequireNoPanel() const {
    if (panel_) throw HostError("the module's panel is already open");
}

void Host::RequirePanel() const {
    if (!panel_) throw HostError("no module panel is open");
}

PanelView& Host::ActivePanel() {
    if (panel_) return *panel_;
    return activeLocal_;
}

bool Host::ChangeLocalFolder(const std::string& folder) {
    if (!otherLocal_.ChangeFolder(folder)) return false;
    // Files the module is handed from the other panel are named relative to the current folder.
    if (chdir(platform::ToNativePath(otherLocal_.Folder()).c_str()) != 0)
        throw HostError("cannot enter the folder " + platform::ToNativePath(otherLocal_.Folder()));
    return true;
}

void Host::Open(HANDLE plugin) {
    AfterModuleCall();
    if (plugin == INVALID_HANDLE_VALUE) {
        frontEnd_.Notice("the module did not open a panel");
        return;
    }
    panel_ = std::make_unique<ModulePanel>(module_, plugin);
    panel_->SetVisibleRows(activeLocal_.VisibleRows());
    panel_->SetViewMode(activeLocal_.ViewMode());
    RereadPanels();
    // The listing asked GetOpenPluginInfo: the module's start mode applies from now on.
    if (panel_ && panel_->StartViewMode() >= 0) panel_->SetViewMode(panel_->StartViewMode());
}

std::string Host::OpenFromPluginsMenu(int entry) {
    RequireNoPanel();
    const ModuleMenus menus = Menus();
    if (entry < 0 || entry >= static_cast<int>(menus.PluginMenu.size()))
        throw HostError("the plugins menu has no entry " + std::to_string(entry) +
                        " of the module");
    Open(module_.OpenPlugin(OPEN_PLUGINSMENU, entry, std::to_string(entry)));
    return menus.PluginMenu[entry];
}

std::string Host::OpenFromDisksMenu(int entry) {
    RequireNoPanel();
    const ModuleMenus menus = Menus();
    if (entry < 0 || entry >= static_cast<int>(menus.DisksMenu.size()))
        throw HostError("the disks menu has no entry " + std::to_string(entry) + " of the module");
    Open(module_.OpenPlugin(OPEN_DISKMENU, entry, std::to_string(entry)));
    return menus.DisksMenu[entry];
}

bool Host::TakesCommandLine(const std::string& commandLine) {
    const size_t colon = commandLine.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string prefix = commandLine.substr(0, colon);
    const std::string prefixes = Menus().CommandPrefix;
    for (size_t start = 0; start <= prefixes.size();) {
        const size_t end = std::min(prefixes.find(':', start), prefixes.size());
        if (SameTextAscii(prefixes.substr(start, end - start), prefix)) return true;
        start = end + 1;
    }
    return false;
}

void Host::OpenCommandLine(const std::string& commandLine) {
    RequireNoPanel();
    if (!TakesCommandLine(commandLine)) {
        frontEnd_.Notice("no module takes the command line \"" + commandLine + "\"");
        return;
    }
    // With one prefix the module gets what follows it; with several, the whole line, so that it
    // can tell which one was typed.
    const std::string text = Menus().CommandPrefix.find(':') == std::string::npos
                                 ? commandLine.substr(commandLine.find(':') + 1)
                                 : commandLine;
    Open(module_.OpenPlugin(OPEN_COMMANDLINE, reinterpret_cast<intptr_t>(text.c_str()),
                            "\"" + text + "\""));
}

void Host::OpenShortcut(const std::string& data) {
    RequireNoPanel();
    Open(module_.OpenPlugin(OPEN_SHORTCUT, reinterpret_cast<intptr_t>(data.c_str()),
                            "\"" + data + "\""));
}

void Host::OpenFile(const std::string& name) {
    RequireNoPanel();
    const std::string path = activeLocal_.PathOf(name);
    std::ifstream in(platform::ToNativePath(path), std::ios::binary);
    if (!in) throw HostError("cannot read the file " + platform::ToNativePath(path));
    std::vector<unsigned char> head(kFileHeadSize);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    Open(module_.OpenFilePlugin(path, head.data(), static_cast<int>(head.size())));
}

bool Host::ClosePanel() {
    if (!panel_) return false;
    if (module_.ProcessEvent(panel_->Handle(), FE_CLOSE, nullptr) != 0) {
        AfterModuleCall();
        if (panel_) frontEnd_.Notice("the module keeps its panel open");
        return !panel_;
    }
    ClosePanelNow();
    return true;
}

void Host::ClosePanelNow() {
    std::unique_ptr<ModulePanel> closing = std::move(panel_);
    closeRequested_ = false;
    // The panel keeps its view mode; the module may set it back while closing.
    activeLocal_.SetViewMode(closing->ViewMode());
    module_.ClosePlugin(closing->Handle());
    if (closeFolder_ && !closeFolder_->empty() && !activeLocal_.ChangeFolder(*closeFolder_))
        frontEnd_.Notice("no such folder: " + *closeFolder_);
    closeFolder_.reset();
    activeLocal_.Reread();
}

void Host::AfterModuleCall() {
    if (closeRequested_ && panel_) ClosePanelNow();
    closeRequested_ = false;
}

int Host::Configure(int entry) {
    const int result = module_.Configure(entry);
    AfterModuleCall();
    return result;
}

const char* Host::GetMsg(intptr_t moduleNumber, int id) const {
    return moduleNumber == kModuleNumber ? language_.Message(id) : "";
}

int Host::Message(unsigned flags, const char* const* items, int itemsNumber, int buttonsNumber) {
    if (!items || itemsNumber <= 0 || buttonsNumber < 0 || buttonsNumber >= itemsNumber) return -1;
    MessageRequest request;
    request.Flags = flags;
    const std::vector<std::string> texts = Texts(items, itemsNumber);
    request.Lines.assign(texts.begin(), texts.end() - buttonsNumber);
    request.Buttons.assign(texts.end() - buttonsNumber, texts.end());
    return frontEnd_.ShowMessage(request);
}

int Host::Menu(unsigned flags, const char* title, const char* bottom, int* breakCode,
               const FarMenuItem* items, int itemsNumber) {
    if (breakCode) *breakCode = -1;
    MenuRequest request;
    request.Flags = flags;
    request.Title = title ? title : "";
    request.Bottom = bottom ? bottom : "";
    if (items && itemsNumber > 0) request.Items.assign(items, items + itemsNumber);
    for (FarMenuItem& item : request.Items) item.Text[sizeof item.Text - 1] = '\0';
    return frontEnd_.ShowMenu(request);
}

int Host::Dialog(int x1, int y1, int x2, int y2, const char* helpTopic, FarDialogItem* items,
                 int itemsNumber) {
    if (!items || itemsNumber <= 0) return -1;
    DialogRequest request;
    // A centred dialog (-1) gives its size as the right and bottom edges.
    request.Width = x1 < 0 ? x2 : x2 - x1 + 1;
    request.Height = y1 < 0 ? y2 : y2 - y1 + 1;
    request.HelpTopic = helpTopic ? helpTopic : "";
    request.Items = items;
    request.Count = itemsNumber;
    for (int i = 0; i < itemsNumber; ++i) items[i].Data[sizeof items[i].Data - 1] = '\0';
    return frontEnd_.ShowDialog(request);
}

int Host::Viewer(const char* fileName, const char* title, const char* charset,
                 const ViewerKeys* keys) {
    if (!fileName) return 0;
    // A record from an older module, smaller than ours, is not read past its end.
    if (keys && keys->StructSize < static_cast<int>(sizeof(ViewerKeys))) keys = nullptr;
    return frontEnd_.View(fileName, title ? title : fileName, charset ? charset : "", keys) ? 1 : 0;
}

int Host::Editor(const char* fileName, const char* title, int startLine, int startChar) {
    if (!fileName || !platform::FileExists(fileName)) return 0;
    return frontEnd_.Edit(fileName, title ? title : fileName, startLine, startChar) ? 1 : 2;
}

void Host::Text(int x, int y, const char* text) {
    if (text)  // a null text only flushes pending output
        frontEnd_.ShowText(x, y, text);
}

intptr_t Host::AdvControl(intptr_t moduleNumber, int command, void* param) {
    if (moduleNumber != kModuleNumber || command != ACTL_GETFARVERSION) return 0;
    if (param) *static_cast<int32_t*>(param) = kHostVersion;
    return kHostVersion;
}

}  // namespace kestrova::host

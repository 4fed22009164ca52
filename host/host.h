// The host core: loads the module, offers it the service table and drives its panel as a file
// manager does, beside a local folder panel. A front end (script driver, terminal UI) shows what
// the host asks it to and turns user actions into the calls below.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/front_end.h"
#include "host/help_file.h"
#include "host/key_names.h"
#include "host/language_file.h"
#include "host/local_panel.h"
#include "host/module_calls.h"
#include "host/module_loader.h"
#include "host/module_panel.h"

namespace kestrova::host {

// What GetPluginInfo offers, copied.
struct ModuleMenus {
    std::vector<std::string> PluginMenu;
    std::vector<std::string> DisksMenu;
    std::vector<std::string> ConfigMenu;
    std::string CommandPrefix;
};

class Host {
  public:
    static constexpr intptr_t kModuleNumber = 1;
    static constexpr int kHostVersion = 0x0150;  // above both thresholds the module checks
    static constexpr const char* kRootKey = "Software\\Far\\Plugins";

    // Loads the module, its language file and help file (lang/ next to the module) and calls
    // SetStartupInfo. localFolder is the folder of both local panels (OEM). Throws HostError.
    Host(const std::string& modulePath, FrontEnd& frontEnd, const std::string& localFolder);
    // Closes an open panel and calls ExitFAR.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    void SetTracing(bool on) { module_.SetTracing(on); }
    const HelpFile& Help() const { return help_; }
    ModuleMenus Menus();

    // Opening the module's panel. Each throws HostError when a panel is already open or the
    // menu has no such entry; a refusal of the module is told to the front end.
    // Both return the text of the chosen entry.
    std::string OpenFromPluginsMenu(int entry);
    std::string OpenFromDisksMenu(int entry);
    // True when one of the module's command prefixes (CommandPrefix, several separated by ':',
    // any case) starts commandLine and its colon follows.
    bool TakesCommandLine(const std::string& commandLine);
    // A command line of the module's, e.g. "news://server/group".
    void OpenCommandLine(const std::string& commandLine);
    void OpenShortcut(const std::string& data);
    void OpenFile(const std::string& name);  // a file of the active local panel's folder
    // FE_CLOSE, then ClosePlugin. False when no panel is open or the module keeps it.
    bool ClosePanel();
    int Configure(int entry);

    ModulePanel* Panel() { return panel_.get(); }
    LocalPanel& ActiveLocal() { return activeLocal_; }
    LocalPanel& OtherLocal() { return otherLocal_; }
    // The panel under the cursor: the module's when open, else the active local one.
    PanelView& ActivePanel();
    const std::string& CommandLine() const { return commandLine_; }
    const std::string& StartFolder() const { return startFolder_; }
    // Changes the other panel's folder and the process's current folder with it.
    bool ChangeLocalFolder(const std::string& folder);

    // A key on the module's panel: ProcessKey first, then the host's own action for it.
    // destination replaces the other panel's folder as the target of F5 and F6.
    void PressKey(const KeyPress& key, const std::string& destination = {});
    // The two halves of PressKey for a front end with keys of its own: the module's
    // ProcessKey (true when it took the key; the panel may have closed), then the host's
    // action for the key on the module's panel (false when the host has none).
    bool OfferKeyToModule(const KeyPress& key);
    bool HostKeyAction(const KeyPress& key, const std::string& destination = {});
    // F5/F6 on the named files of the other panel, with the module's panel as target.
    void PutFromLocal(const std::vector<std::string>& names, bool move);

    // The services of the table handed to the module.
    const char* GetMsg(intptr_t moduleNumber, int id) const;
    int Message(unsigned flags, const char* const* items, int itemsNumber, int buttonsNumber);
    int Menu(unsigned flags, const char* title, const char* bottom, int* breakCode,
             const FarMenuItem* items, int itemsNumber);
    int Dialog(int x1, int y1, int x2, int y2, const char* helpTopic, FarDialogItem* items,
               int itemsNumber);
    int Control(HANDLE plugin, int command, void* param);
    HANDLE SaveScreen();
    void RestoreScreen(HANDLE screen);
    int GetDirList(const char* dir, PluginPanelItem** items, int* itemsNumber);
    int GetPluginDirList(HANDLE plugin, const char* dir, PluginPanelItem** items, int* itemsNumber);
    void FreeDirList(const PluginPanelItem* items);
    int Viewer(const char* fileName, const char* title, const char* charset,
               const ViewerKeys* keys = nullptr);
    int Editor(const char* fileName, const char* title, int startLine, int startChar);
    void Text(int x, int y, const char* text);
    intptr_t AdvControl(intptr_t moduleNumber, int command, void* param);

  private:
    void Open(HANDLE plugin);
    void RequireNoPanel() const;
    void RequirePanel() const;
    // Carries out what the module asked for during its last call (closing the panel).
    void AfterModuleCall();
    void ClosePanelNow();
    void RereadPanels();
    int HandOut(PanelItemList&& list, PluginPanelItem** items, int* itemsNumber);

    // The host's own actions on its panel (panel_actions.cpp).
    void EnterFolder(const std::string& name);
    void CopyOut(bool move, const std::string& destination);
    void ViewOrEdit(bool edit);
    void MakeFolder();
    void DeleteItems();
    void ChangeViewMode(int mode);

    FrontEnd& frontEnd_;
    LoadedModule library_;
    ModuleCalls module_;
    LanguageFile language_;
    HelpFile help_;
    PluginStartupInfo startupInfo_{};
    FarStandardFunctions standardFunctions_{};
    std::string startFolder_;
    LocalPanel activeLocal_;
    LocalPanel otherLocal_;
    std::unique_ptr<ModulePanel> panel_;
    std::string commandLine_;
    bool closeRequested_ = false;
    std::optional<std::string> closeFolder_;
    bool rereading_ = false;
    // Set when the module places its panel's cursor itself (FCTL_REDRAWPANEL with a position).
    bool cursorPlacedByModule_ = false;
    intptr_t nextScreen_ = 1;
    std::map<const PluginPanelItem*, std::unique_ptr<PanelItemList>> dirLists_;
};

}  // namespace kestrova::host

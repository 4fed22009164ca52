// The main screen of the full-screen host: two panels side by side (the module's panel or the
// local folder on the left, the local folder on the right), the command line and the key bar.
// Keys on the module's panel go to the module's ProcessKey first, then to the host's own
// action (host/host.h); the screen's own keys (Tab, the menus, the command line, selection by
// mask, the info panel, quitting) are handled here. Boxes are the front end's.
#pragma once

#include <optional>
#include <string>

#include "host/front_end.h"
#include "host/host.h"
#include "host/key_names.h"
#include "host/tui/terminal.h"
#include "host/tui/terminal_front_end.h"
#include "platform/console_input.h"

namespace kestrova::host::tui {

// The host's key of a console input key event (control states as PKF_*).
KeyPress KeyPressOf(const platform::InputEvent& event);

class MainScreen {
  public:
    MainScreen(Terminal& terminal, Host& host, TerminalFrontEnd& frontEnd);
    ~MainScreen();
    MainScreen(const MainScreen&) = delete;
    MainScreen& operator=(const MainScreen&) = delete;

    // Runs until the user quits (F10, answered yes).
    void Run();
    // Draws everything and sends it to the terminal.
    void Draw();
    // Handles one event; false when the user chose to quit.
    bool Handle(const platform::InputEvent& event);

  private:
    enum class Side { Left, Right };

    PanelView& LeftPanel();
    // The module's panel title alone, drawn while the module lists (its count changes).
    void PaintModuleTitle();
    // The key bar alone, in the row of the held modifiers.
    void PaintKeyBarRow();
    PanelView& Focused();
    bool HandleKey(const KeyPress& key, char character, const std::string& typed);
    bool HandleScreenKey(const KeyPress& key, char character);
    void HandleMouse(const platform::InputEvent& event);
    void MoveLocalCursor(PanelView& panel, const KeyPress& key);
    void EnterOnLocal(PanelView& panel, Side side);
    void RunCommandLine();
    // F7 and F8 on a local panel: a folder made, the selected items deleted (asked first, and
    // once more for each folder that is not empty).
    void MakeLocalFolder(LocalPanel& panel);
    void DeleteLocal(LocalPanel& panel);
    void SelectByMask(bool select);
    // Alt-F7 on the module's panel: the items of the current folder and of every folder below
    // it (walked with OPM_FIND) whose names match a mask, in a menu; the chosen one gets the
    // cursor (its folder entered first).
    void FindInModule();
    void PluginsMenu();
    void DisksMenu();
    void ConfigMenu();
    bool AskQuit();
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& text = "*");
    // Runs an action of the host; a HostError it raises is told in a message box.
    template <typename Action>
    void Guarded(Action action);

    Terminal& terminal_;
    Host& host_;
    TerminalFrontEnd& frontEnd_;
    Side focus_ = Side::Left;
    bool infoPanel_ = false;
    std::string command_;  // OEM
    // The modifiers of the key being handled. A terminal reports no presses of Ctrl, Alt or
    // Shift alone, so the key bar shows a modifier row only while a key with it is handled.
    unsigned heldModifiers_ = 0;
};

}  // namespace kestrova::host::tui

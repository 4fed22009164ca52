// The full-screen front end: message boxes, menus, dialogs, the viewer and the editor on the
// terminal. Boxes wait for keys from the console input; a box without buttons only draws and
// returns, so the keys typed meanwhile stay queued for the module (Esc during a network wait).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "host/front_end.h"
#include "host/help_file.h"
#include "host/tui/canvas.h"
#include "host/tui/help_text.h"
#include "host/tui/keystroke.h"

namespace kestrova::host::tui {

class TerminalFrontEnd : public FrontEnd {
  public:
    int ShowMessage(const MessageRequest& message) override;
    int ShowMenu(const MenuRequest& menu) override;
    int ShowDialog(const DialogRequest& dialog) override;
    bool View(const std::string& file, const std::string& title, const std::string& charset,
              const ViewerKeys* keys) override;
    bool Edit(const std::string& file, const std::string& title, int line, int column) override;
    void ShowText(int x, int y, const std::string& text) override;
    void Notice(const std::string& text) override;
    void Trace(const std::string&) override {}
    void PanelRedrawn() override;
    void SaveScreen(intptr_t handle) override;

    // What draws the module's panel title again when the module has its panel redrawn (the
    // main screen's); nullptr: nothing.
    void SetTitlePainter(std::function<void()> painter) { titlePainter_ = std::move(painter); }
    void RestoreScreen(intptr_t handle) override;

    // The module's help file that F1 shows (null: none); it must outlive the front end's use.
    void SetHelpFile(const HelpFile* help) { help_ = help; }
    // F1: the module's topic (empty: all of them) and the host's keys for place, in the viewer.
    void ShowHelp(const std::string& topic, HelpPlace place);

  private:
    // Runs a dialog of width x height cells, centred, until it closes: the closing item or -1.
    // Accepted field texts go into their history lists.
    // F1 shows the help topic.
    int RunDialog(FarDialogItem* items, int count, int width, int height, bool warning,
                  const std::string& helpTopic = "");
    // Runs a menu, centred or with its corner at (x, y): the chosen entry or -1.
    int RunMenu(const MenuRequest& menu, int x = -1, int y = -1);
    // A message box with one button.
    void Tell(const std::string& title, const std::string& text);
    // A one-field dialog with a history list; nullopt for Esc.
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& text, const char* historyName);

    // A screen kept, with the size it had.
    struct KeptScreen {
        std::shared_ptr<ScreenSnapshot> Cells;  // null: none kept
        int Width = 0;
        int Height = 0;
    };
    static KeptScreen KeepScreen();
    static KeptScreen KeepScreen(const Rect& area);
    // The screen beneath the box without buttons now shown.
    KeptScreen standingBeneath_;
    struct SavedScreen {
        KeptScreen Screen;
        KeptScreen StandingBeneath;
    };
    std::map<intptr_t, SavedScreen> saved_;
    std::function<void()> titlePainter_;
    const HelpFile* help_ = nullptr;
    bool showingHelp_ = false;
};

// The next key pressed or left mouse click; nullopt when the terminal changed its size instead
// (the screen beneath is then already redrawn).
std::optional<Keystroke> NextKeystroke();
// Sends what was drawn to the terminal.
void FlushScreen();

}  // namespace kestrova::host::tui

// What the host shows to the user and asks of them. The host core calls it; a front end draws
// (terminal) or answers from a script and writes a transcript. All texts are OEM bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"

namespace kestrova::host {

struct MessageRequest {
    unsigned Flags = 0;
    std::vector<std::string> Lines;  // the title first
    std::vector<std::string> Buttons;
};

struct MenuRequest {
    unsigned Flags = 0;
    std::string Title;
    std::string Bottom;
    std::vector<FarMenuItem> Items;
};

struct DialogRequest {
    int Width = 0;
    int Height = 0;
    std::string HelpTopic;
    FarDialogItem* Items = nullptr;
    int Count = 0;
};

class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // The chosen button's index, -1 for Esc. A box without buttons stays on screen: return -1.
    virtual int ShowMessage(const MessageRequest& message) = 0;
    // The chosen entry's index, -1 for Esc.
    virtual int ShowMenu(const MenuRequest& menu) = 0;
    // Edits the items in place; the index of the closing item, -1 for Esc.
    virtual int ShowDialog(const DialogRequest& dialog) = 0;
    // Shows a file, in charset (a MIME name; empty: the OEM code page); false when it cannot be
    // read. keys (may be null) adds the module's key-bar labels and takes the keys the viewer does
    // not use (hostapi: ViewerKeys).
    virtual bool View(const std::string& file, const std::string& title, const std::string& charset,
                      const ViewerKeys* keys) = 0;
    // Lets the user edit a file, the cursor first at line and column (1-based; 0 or less: the
    // start of the text); true when a changed file was saved.
    virtual bool Edit(const std::string& file, const std::string& title, int line, int column) = 0;
    // Text that the module writes at a screen position.
    virtual void ShowText(int x, int y, const std::string& text) = 0;
    // Something the host itself tells the user (a refused file, a key without an action).
    virtual void Notice(const std::string& text) = 0;
    // The module had its panel redrawn while it works (a listing that counts in the panel's
    // title): a front end with a screen shows the new title at once.
    virtual void PanelRedrawn() {}
    // One call into the module, when call tracing is on.
    virtual void Trace(const std::string& call) = 0;
    // The module keeps the screen under handle before work that shows boxes without buttons and
    // puts it back, once, when the work ends. A front end without a screen ignores both.
    virtual void SaveScreen(intptr_t handle) { (void)handle; }
    virtual void RestoreScreen(intptr_t handle) { (void)handle; }
};

}  // namespace kestrova::host

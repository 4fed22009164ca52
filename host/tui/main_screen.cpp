#include "host/tui/main_screen.h"

#include <sys/wait.h>

#include <cstdlib>
#include <iostream>

#include "host/host_error.h"
#include "host/tui/canvas.h"
#include "host/tui/key_bar.h"
#include "host/tui/key_input.h"
#include "host/tui/panel_layout.h"
#include "host/tui/panel_painter.h"
#include "host/wildcard_match.h"
#include "hostapi/plugin_api.h"
#include "platform/codepages.h"
#include "platform/filesystem.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

bool Has(const KeyPress& key, int virtualKey, unsigned control = 0) {
    return key.VirtualKey == virtualKey && key.ControlState == control;
}

// A character typed (Shift or none held), for the command line.
// The text a key event types: its character in the OEM code page.
std::string TypedText(const platform::InputEvent& event) {
    if (event.UnicodeChar == 0) return std::string(1, event.AsciiChar);
    std::string utf8;
    platform::AppendUtf8(utf8, event.UnicodeChar);
    return platform::Utf8ToOem(utf8);
}

bool IsTypedCharacter(const KeyPress& key, char character) {
    const unsigned char typed = static_cast<unsigned char>(character);
    return typed >= 0x20 && typed != 0x7F && !(key.ControlState & (PKF_CONTROL | PKF_ALT));
}

std::vector<std::string> SelectedNames(const PanelView& panel) {
    std::vector<std::string> names;
    for (const PluginPanelItem& item : panel.SelectedOrCurrent()) names.push_back(ItemName(item));
    return names;
}

}  // namespace

KeyPress KeyPressOf(const platform::InputEvent& event) {
    KeyPress key;
    key.VirtualKey = event.VirtualKeyCode;
    const uint32_t state = event.ControlKeyState;
    if (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) key.ControlState |= PKF_CONTROL;
    if (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) key.ControlState |= PKF_ALT;
    if ((state & SHIFT_PRESSED) && !(key.VirtualKey >= 'A' && key.VirtualKey <= 'Z' &&
                                     key.ControlState == 0))  // a capital letter is a character
        key.ControlState |= PKF_SHIFT;
    return key;
}

MainScreen::MainScreen(Terminal& terminal, Host& host, TerminalFrontEnd& frontEnd)
    : terminal_(terminal), host_(host), frontEnd_(frontEnd) {
    terminal_.SetResizeHandler([this] { Draw(); });
    frontEnd_.SetTitlePainter([this] { PaintModuleTitle(); });
    platform::KeepFlushedInput(true);
}

MainScreen::~MainScreen() {
    platform::KeepFlushedInput(false);
    terminal_.SetResizeHandler(nullptr);
    frontEnd_.SetTitlePainter(nullptr);
}

PanelView& MainScreen::LeftPanel() {
    return host_.ActivePanel();
}

PanelView& MainScreen::Focused() {
    return focus_ == Side::Left ? LeftPanel() : host_.OtherLocal();
}

void MainScreen::Draw() {
    const ScreenLayout layout = LayoutScreen(terminal_.Width(), terminal_.Height());
    Fill({0, 0, terminal_.Width(), terminal_.Height()}, Role::Screen);
    PanelView& left = LeftPanel();
    PaintPanel(left, LookOf(left, focus_ == Side::Left), layout.Left);
    if (infoPanel_ && host_.Panel())
        PaintInfoPanel(host_.Panel()->Title(), host_.Panel()->InfoLines(), layout.Right);
    else
        PaintPanel(host_.OtherLocal(), LookOf(host_.OtherLocal(), focus_ == Side::Right),
                   layout.Right);
    const ModulePanel* module = host_.Panel();
    PaintKeyBarRow();
    PaintCommandLine(layout.CommandLineY,
                     platform::ToNativePath(host_.OtherLocal().Folder()) + "$ ", command_);
    terminal_.SetTitle(module ? module->Title() : host_.OtherLocal().Folder());
    terminal_.Flush();
}

void MainScreen::PaintModuleTitle() {
    if (!host_.Panel()) return;
    const ScreenLayout layout = LayoutScreen(terminal_.Width(), terminal_.Height());
    PaintPanelTitle(*host_.Panel(), LookOf(*host_.Panel(), focus_ == Side::Left), layout.Left);
}

void MainScreen::PaintKeyBarRow() {
    const ModulePanel* module = host_.Panel();
    PaintKeyBar(LayoutScreen(terminal_.Width(), terminal_.Height()).KeyBarY,
                KeyBarLabelsOf(RowOf(heldModifiers_), module ? &module->KeyBar() : nullptr));
}

void MainScreen::Run() {
    Draw();
    while (true) {
        // Keys the module set aside while it worked come first.
        platform::RestoreFlushedInput();
        const std::optional<platform::InputEvent> event = NextInputEvent();
        if (!event) continue;
        if (!Handle(*event)) return;
        Draw();
    }
}

bool MainScreen::Handle(const platform::InputEvent& event) {
    if (event.EventType == MOUSE_EVENT) {
        HandleMouse(event);
        return true;
    }
    if (event.EventType != KEY_EVENT || !event.KeyDown) return true;
    KeyPress key = KeyPressOf(event);
    // Alt with a digit is the view mode key too: most terminals send nothing for Ctrl with one.
    if (key.ControlState == PKF_ALT && key.VirtualKey >= '0' && key.VirtualKey <= '9')
        key.ControlState = PKF_CONTROL;
    heldModifiers_ = key.ControlState;
    // The row of the modifiers while the key's work goes on (not for a character typed).
    if (heldModifiers_ != 0 && !IsTypedCharacter(key, event.AsciiChar)) {
        PaintKeyBarRow();
        terminal_.Flush();
    }
    bool keepRunning = true;
    Guarded([&] { keepRunning = HandleKey(key, event.AsciiChar, TypedText(event)); });
    heldModifiers_ = 0;
    return keepRunning;
}

template <typename Action>
void MainScreen::Guarded(Action action) {
    try {
        action();
    } catch (const HostError& error) {
        MessageRequest message;
        message.Flags = FMSG_WARNING;
        message.Lines = {"Error", platform::Utf8ToOem(error.what())};
        message.Buttons = {"Ok"};
        frontEnd_.ShowMessage(message);
    }
}

bool MainScreen::HandleKey(const KeyPress& key, char character, const std::string& typed) {
    // Typing goes to the command line; Enter runs it once it holds text.
    const bool printable = IsTypedCharacter(key, character);
    const bool grayKey =
        key.VirtualKey == VK_ADD || key.VirtualKey == VK_SUBTRACT || key.VirtualKey == VK_MULTIPLY;
    if (printable && !(grayKey && command_.empty())) {
        command_ += typed;
        return true;
    }
    if (!command_.empty()) {
        if (Has(key, VK_BACK)) {
            // The whole last character goes.
            size_t start = command_.size() - 1;
            while (start > 0 && (static_cast<unsigned char>(command_[start]) & 0xC0) == 0x80)
                --start;
            command_.erase(start);
            return true;
        }
        if (Has(key, VK_RETURN)) {
            RunCommandLine();
            return true;
        }
        if (Has(key, VK_ESCAPE)) {
            command_.clear();
            return true;
        }
    }
    if (HandleScreenKey(key, character)) return true;
    if (Has(key, VK_F10)) return !AskQuit();
    PanelView& panel = Focused();
    if (focus_ == Side::Left && host_.Panel()) {
        if (host_.OfferKeyToModule(key) || !host_.Panel()) return true;
        if (host_.HostKeyAction(key)) return true;
        if (Has(key, VK_F7, PKF_ALT)) {
            FindInModule();
            return true;
        }
    }
    if (focus_ == Side::Right && host_.Panel() && key.ControlState == 0 &&
        (key.VirtualKey == VK_F5 || key.VirtualKey == VK_F6)) {
        host_.PutFromLocal(SelectedNames(panel), key.VirtualKey == VK_F6);
        return true;
    }
    if (Has(key, VK_RETURN)) {
        EnterOnLocal(panel, focus_);
        return true;
    }
    if (Has(key, VK_F7) || Has(key, VK_F8)) {
        auto& local = static_cast<LocalPanel&>(panel);
        if (key.VirtualKey == VK_F7)
            MakeLocalFolder(local);
        else
            DeleteLocal(local);
        host_.OtherLocal().Reread();
        if (!host_.Panel()) host_.ActiveLocal().Reread();
        return true;
    }
    if (Has(key, 'R', PKF_CONTROL)) {
        panel.Reread();
        return true;
    }
    MoveLocalCursor(panel, key);
    return true;
}

// Keys that mean the same on every panel.
bool MainScreen::HandleScreenKey(const KeyPress& key, char) {
    PanelView& panel = Focused();
    if (Has(key, VK_TAB)) {
        focus_ = focus_ == Side::Left ? Side::Right : Side::Left;
    } else if (Has(key, VK_F1)) {
        frontEnd_.ShowHelp("", HelpPlace::Panel);
    } else if (Has(key, 'L', PKF_CONTROL)) {
        infoPanel_ = !infoPanel_;
    } else if (Has(key, VK_F11)) {
        PluginsMenu();
    } else if (Has(key, VK_F9)) {
        ConfigMenu();
    } else if (Has(key, VK_F1, PKF_ALT) || Has(key, VK_F2, PKF_ALT)) {
        focus_ = Side::Left;
        DisksMenu();
    } else if (Has(key, VK_ADD) || Has(key, VK_SUBTRACT)) {
        SelectByMask(key.VirtualKey == VK_ADD);
    } else if (Has(key, VK_MULTIPLY)) {
        for (size_t i = 0; i < panel.Items().Size(); ++i)
            panel.SetSelected(static_cast<int>(i), !(panel.Items()[i].Flags & PPIF_SELECTED));
    } else if (Has(key, VK_INSERT) || Has(key, VK_UP, PKF_SHIFT) || Has(key, VK_DOWN, PKF_SHIFT)) {
        const int current = panel.Current();
        if (current < static_cast<int>(panel.Items().Size()))
            panel.SetSelected(current, !(panel.Items()[current].Flags & PPIF_SELECTED));
        panel.MoveCursor(key.VirtualKey == VK_UP ? -1 : 1);
    } else {
        return false;
    }
    return true;
}

void MainScreen::MoveLocalCursor(PanelView& panel, const KeyPress& key) {
    const int count = static_cast<int>(panel.Items().Size());
    if (Has(key, VK_UP))
        panel.MoveCursor(-1);
    else if (Has(key, VK_DOWN))
        panel.MoveCursor(1);
    else if (Has(key, VK_PRIOR))
        panel.MoveCursor(-panel.VisibleRows());
    else if (Has(key, VK_NEXT))
        panel.MoveCursor(panel.VisibleRows());
    else if (Has(key, VK_HOME))
        panel.SetCursor(0, 0);
    else if (Has(key, VK_END))
        panel.SetCursor(count - 1, panel.Top());
    else if (Has(key, VK_PRIOR, PKF_CONTROL) && panel.Find("..") >= 0) {
        panel.SetCursor(panel.Find(".."), 0);
        EnterOnLocal(panel, focus_);
    }
}

void MainScreen::EnterOnLocal(PanelView& panel, Side side) {
    if (panel.Current() >= static_cast<int>(panel.Items().Size())) return;
    const PluginPanelItem& item = panel.Items()[panel.Current()];
    const std::string name = ItemName(item);
    auto& local = static_cast<LocalPanel&>(panel);
    if (IsFolder(item)) {
        const std::string left = local.Folder();
        const std::string target = local.PathOf(name);
        if (side == Side::Right)
            host_.ChangeLocalFolder(target);
        else
            local.ChangeFolder(target);
        local.SetCursor(0, 0);
        local.Reread();
        if (name == "..") {  // the cursor stands on the folder just left
            const size_t slash = left.find_last_of('/');
            const int found =
                local.Find(slash == std::string::npos ? left : left.substr(slash + 1));
            if (found >= 0) local.SetCursor(found, 0);
        }
        return;
    }
    // A file: the module may open it (an account file).
    if (side == Side::Right) host_.ActiveLocal().ChangeFolder(local.Folder());
    host_.ActiveLocal().Reread();
    host_.OpenFile(name);
    if (host_.Panel()) focus_ = Side::Left;
}

void MainScreen::RunCommandLine() {
    const std::string command = command_;
    command_.clear();
    if (host_.TakesCommandLine(command)) {
        if (host_.Panel()) host_.ClosePanel();
        if (!host_.Panel()) host_.OpenCommandLine(command);
        if (host_.Panel()) focus_ = Side::Left;
        return;
    }
    if (command.rfind("cd ", 0) == 0) {
        if (!host_.ChangeLocalFolder(command.substr(3)))
            throw HostError("no such folder: " + platform::ToNativePath(command.substr(3)));
        host_.OtherLocal().Reread();
        return;
    }
    // Anything else runs in the shell on the terminal's own screen.
    {
        SuspendedTerminal suspended;
        std::cout << platform::ToNativePath(host_.OtherLocal().Folder()) << "$ "
                  << platform::OemToUtf8(command) << std::endl;
        const int status = std::system(platform::OemToUtf8(command).c_str());
        std::cout << "[exit " << (WIFEXITED(status) ? WEXITSTATUS(status) : status)
                  << "; Enter returns]" << std::flush;
        WaitForEnter();
    }
    host_.OtherLocal().Reread();
    if (!host_.Panel()) host_.ActiveLocal().Reread();
}

void MainScreen::MakeLocalFolder(LocalPanel& panel) {
    const std::optional<std::string> name = AskText("Make folder", "Create the folder:", "");
    if (!name || name->empty()) return;
    panel.MakeFolder(*name);
    panel.Reread();
    const int made = panel.Find(name->substr(0, name->find('/')));
    if (made >= 0) panel.SetCursor(made, panel.Top());
}

void MainScreen::DeleteLocal(LocalPanel& panel) {
    std::vector<std::string> names = SelectedNames(panel);
    std::erase(names, "..");
    if (names.empty()) return;
    MessageRequest question;
    question.Flags = FMSG_WARNING;
    question.Lines = {"Delete", "Do you wish to delete",
                      names.size() == 1 ? names[0] : std::to_string(names.size()) + " items"};
    question.Buttons = {"Delete", "Cancel"};
    if (frontEnd_.ShowMessage(question) != 0) return;
    for (const std::string& name : names) {
        const bool filled = panel.IsFilledFolder(name);
        if (filled) {
            MessageRequest again;
            again.Flags = FMSG_WARNING;
            again.Lines = {"Delete folder", "The folder " + name + " is not empty.",
                           "Delete it with everything in it?"};
            again.Buttons = {"Delete", "Skip", "Cancel"};
            const int answer = frontEnd_.ShowMessage(again);
            if (answer == 1) continue;
            if (answer != 0) break;
        }
        panel.Delete(name, filled);
    }
}

void MainScreen::SelectByMask(bool select) {
    const std::optional<std::string> mask = AskText(select ? "Select" : "Deselect", "Mask:");
    if (!mask || mask->empty()) return;
    PanelView& panel = Focused();
    for (size_t i = 0; i < panel.Items().Size(); ++i)
        if (WildcardMatch(*mask, ItemName(panel.Items()[i]), false))
            panel.SetSelected(static_cast<int>(i), select);
}

void MainScreen::FindInModule() {
    const std::optional<std::string> mask = AskText("Find", "Names matching:");
    if (!mask || mask->empty() || !host_.Panel()) return;
    ModulePanel& panel = *host_.Panel();
    std::vector<std::string> found;
    // Copied first: walking a folder lists the panel's own folder again.
    std::vector<PluginPanelItem> items;
    for (size_t i = 0; i < panel.Items().Size(); ++i) items.push_back(panel.Items()[i]);
    for (const PluginPanelItem& item : items) {
        const std::string name = ItemName(item);
        if (name == "..") continue;
        if (WildcardMatch(*mask, name, true)) found.push_back(name);
        if (!IsFolder(item)) continue;
        PluginPanelItem* below = nullptr;
        int count = 0;
        if (!host_.GetPluginDirList(panel.Handle(), name.c_str(), &below, &count)) continue;
        for (int i = 0; i < count; ++i) {
            const std::string path = ItemName(below[i]);  // "folder\\sub\\item"
            const size_t separator = path.find_last_of('\\');
            if (separator != std::string::npos &&
                WildcardMatch(*mask, path.substr(separator + 1), true))
                found.push_back(path);
        }
        host_.FreeDirList(below);
        if (!host_.Panel()) return;
    }
    MenuRequest menu;
    menu.Title = "Found: " + std::to_string(found.size());
    for (const std::string& path : found) {
        FarMenuItem entry{};
        std::snprintf(entry.Text, sizeof entry.Text, "%s", path.c_str());
        menu.Items.push_back(entry);
    }
    if (menu.Items.empty()) {
        MessageRequest message;
        message.Lines = {"Find", "Nothing matches " + *mask};
        message.Buttons = {"Ok"};
        frontEnd_.ShowMessage(message);
        return;
    }
    menu.Items[0].Selected = 1;
    const int chosen = frontEnd_.ShowMenu(menu);
    if (chosen < 0 || !host_.Panel()) return;
    std::string path = found[chosen];
    // Down the folders of the path, then the cursor to the item.
    size_t separator;
    while ((separator = path.find('\\')) != std::string::npos && host_.Panel()) {
        const int folder = host_.Panel()->Find(path.substr(0, separator));
        if (folder < 0) return;
        host_.Panel()->SetCursor(folder, folder);
        host_.HostKeyAction({VK_RETURN, 0});
        path = path.substr(separator + 1);
    }
    if (host_.Panel() && host_.Panel()->Find(path) >= 0)
        host_.Panel()->SetCursor(host_.Panel()->Find(path), host_.Panel()->Top());
}

namespace {

// A menu of the host's own entries followed by the module's.
MenuRequest MenuOf(const char* title, const std::vector<std::string>& hostEntries,
                   const std::vector<std::string>& moduleEntries) {
    MenuRequest menu;
    menu.Title = title;
    for (const auto* entries : {&hostEntries, &moduleEntries})
        for (const std::string& text : *entries) {
            FarMenuItem item{};
            std::snprintf(item.Text, sizeof item.Text, "%s", text.c_str());
            menu.Items.push_back(item);
        }
    return menu;
}

}  // namespace

void MainScreen::PluginsMenu() {
    MenuRequest menu = MenuOf("Modules", {}, host_.Menus().PluginMenu);
    if (menu.Items.empty()) return;
    menu.Items[0].Selected = 1;
    const int chosen = frontEnd_.ShowMenu(menu);
    if (chosen < 0) return;
    if (host_.Panel() && !host_.ClosePanel()) return;
    focus_ = Side::Left;
    host_.OpenFromPluginsMenu(chosen);
}

void MainScreen::DisksMenu() {
    MenuRequest menu = MenuOf("Disks", {"Local folder"}, host_.Menus().DisksMenu);
    menu.Items[0].Selected = 1;
    const int chosen = frontEnd_.ShowMenu(menu);
    if (chosen < 0) return;
    if (host_.Panel() && !host_.ClosePanel()) return;
    if (chosen > 0) host_.OpenFromDisksMenu(chosen - 1);
}

void MainScreen::ConfigMenu() {
    MenuRequest menu = MenuOf("Module configuration", {}, host_.Menus().ConfigMenu);
    if (menu.Items.empty()) return;
    menu.Items[0].Selected = 1;
    const int chosen = frontEnd_.ShowMenu(menu);
    if (chosen >= 0) host_.Configure(chosen);
    if (host_.Panel()) host_.Panel()->Reread();
}

bool MainScreen::AskQuit() {
    MessageRequest message;
    message.Lines = {"Quit", "Do you want to quit Kestrova?"};
    message.Buttons = {"Yes", "No"};
    if (frontEnd_.ShowMessage(message) != 0) return false;
    if (host_.Panel()) host_.ClosePanel();
    return true;
}

std::optional<std::string> MainScreen::AskText(const std::string& title, const std::string& prompt,
                                               const std::string& text) {
    FarDialogItem items[4]{};
    const int width = 40;
    items[0] = {};
    items[0].Type = DI_DOUBLEBOX;
    items[0].X1 = 3, items[0].Y1 = 1, items[0].X2 = width - 4, items[0].Y2 = 4;
    std::snprintf(items[0].Data, sizeof items[0].Data, "%s", title.c_str());
    items[1].Type = DI_TEXT;
    items[1].X1 = 5, items[1].Y1 = 2;
    std::snprintf(items[1].Data, sizeof items[1].Data, "%s", prompt.c_str());
    items[2].Type = DI_EDIT;
    items[2].X1 = 5, items[2].Y1 = 3, items[2].X2 = width - 6;
    items[2].Focus = 1;
    items[2].DefaultButton = 1;
    std::snprintf(items[2].Data, sizeof items[2].Data, "%s", text.c_str());
    DialogRequest dialog;
    dialog.Width = width;
    dialog.Height = 6;
    dialog.Items = items;
    dialog.Count = 3;
    if (frontEnd_.ShowDialog(dialog) < 0) return std::nullopt;
    return std::string(items[2].Data);
}

void MainScreen::HandleMouse(const platform::InputEvent& event) {
    if (event.ButtonState != FROM_LEFT_1ST_BUTTON_PRESSED || event.EventFlags != 0) {
        if (event.EventFlags == MOUSE_WHEELED)
            Focused().MoveCursor(static_cast<int32_t>(event.ButtonState) > 0 ? -1 : 1);
        return;
    }
    const ScreenLayout layout = LayoutScreen(terminal_.Width(), terminal_.Height());
    const bool left = event.MouseX <= layout.Left.Right();
    const Rect& frame = left ? layout.Left : layout.Right;
    if (event.MouseY > frame.Bottom()) return;
    focus_ = left ? Side::Left : Side::Right;
    const PanelRows rows = LayoutPanelRows(frame);
    const int row = event.MouseY - rows.FirstItemY;
    if (row < 0 || row >= rows.ItemRows) return;
    PanelView& panel = Focused();
    if (panel.Top() + row < static_cast<int>(panel.Items().Size()))
        panel.SetCursor(panel.Top() + row, panel.Top());
}

}  // namespace kestrova::host::tui

#include "host/tui/terminal_front_end.h"

#include "host/dialog_items.h"
#include "host/tui/box_drawing.h"
#include "host/tui/external_editor.h"
#include "host/tui/field_history.h"
#include "host/tui/key_input.h"
#include "host/tui/message_box.h"
#include "host/tui/terminal.h"
#include "host/utf8_copy.h"
#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

// Puts the accepted texts of fields with a history name first in their lists.
void RememberFieldTexts(const FarDialogItem* items, int count) {
    for (int i = 0; i < count; ++i) {
        const FarDialogItem& item = items[i];
        if (!IsEditField(item.Type) || !(item.Flags & DIF_HISTORY) || !item.History) continue;
        std::vector<std::string> history = LoadHistory(item.History);
        AddToHistory(history, item.Data);
        SaveHistory(item.History, history);
    }
}

}  // namespace

std::optional<Keystroke> NextKeystroke() {
    while (true) {
        const std::optional<platform::InputEvent> event = NextInputEvent();
        if (!event) continue;
        if (event->EventType == WINDOW_BUFFER_SIZE_EVENT) return std::nullopt;
        if (event->EventType == KEY_EVENT && event->KeyDown) return KeystrokeOf(*event);
        if (event->EventType == MOUSE_EVENT && event->EventFlags == 0 &&
            event->ButtonState == FROM_LEFT_1ST_BUTTON_PRESSED) {
            Keystroke click;
            click.Click = true;
            click.ClickX = event->MouseX;
            click.ClickY = event->MouseY;
            return click;
        }
    }
}

void FlushScreen() {
    if (Terminal* terminal = Terminal::Current()) terminal->Flush();
}

int TerminalFrontEnd::RunDialog(FarDialogItem* items, int count, int width, int height,
                                bool warning, const std::string& helpTopic) {
    width += WidenForTitle(items, count, ScreenWidth() - width);
    DialogModel dialog(items, count);
    std::unique_ptr<ScreenSnapshot> beneath;
    while (true) {
        const Rect area = CentredBox(width, height);
        // Kept anew after a resize: the screen beneath was drawn again.
        if (!beneath) beneath = std::make_unique<ScreenSnapshot>(WithShadow(area));
        DrawDialog(dialog, area, warning);
        FlushScreen();
        const std::optional<Keystroke> key = NextKeystroke();
        if (!key) {
            beneath.reset();
            continue;
        }
        if (key->Is(VK_F1)) {
            ShowHelp(helpTopic, HelpPlace::Dialog);
            continue;
        }
        const DialogState state =
            key->Click ? dialog.Click(ItemAt(PlaceItems(dialog, width), key->ClickX - area.X,
                                             key->ClickY - area.Y))
                       : dialog.HandleKey(*key);
        switch (state) {
            case DialogState::Open:
                break;
            case DialogState::HistoryWanted: {
                const FarDialogItem& field = items[dialog.Focus()];
                const std::vector<std::string> history = LoadHistory(field.History);
                if (history.empty()) break;
                MenuRequest menu;
                menu.Flags = FMENU_SHOWAMPERSAND;
                for (const std::string& text : history) {
                    FarMenuItem entry{};
                    text.copy(entry.Text, platform::Utf8PrefixLength(text, sizeof entry.Text - 1));
                    menu.Items.push_back(entry);
                }
                const std::vector<ItemPlace> places = PlaceItems(dialog, width);
                const int chosen = RunMenu(menu, area.X + places[dialog.Focus()].X - 3,
                                           area.Y + places[dialog.Focus()].Y + 1);
                if (chosen >= 0) dialog.SetFocusedText(history[chosen]);
                break;
            }
            case DialogState::Closed:
                if (dialog.ClosingItem() == EnterChoice(items, count))
                    RememberFieldTexts(items, count);
                HideCursor();
                beneath->Restore();
                FlushScreen();
                return dialog.ClosingItem();
            case DialogState::Cancelled:
                HideCursor();
                beneath->Restore();
                FlushScreen();
                return -1;
        }
    }
}

int TerminalFrontEnd::RunMenu(const MenuRequest& request, int x, int y) {
    MenuModel menu(request, 1);
    std::unique_ptr<ScreenSnapshot> beneath;
    while (true) {
        const Rect box = MenuBox(menu, request.Title, request.Bottom, x, y);
        if (!beneath) beneath = std::make_unique<ScreenSnapshot>(WithShadow(box));
        menu.SetPageRows(MenuRows(box));
        DrawMenu(menu, request.Title, request.Bottom, box);
        FlushScreen();
        const std::optional<Keystroke> key = NextKeystroke();
        if (!key) {
            beneath.reset();
            continue;
        }
        const MenuState state = menu.HandleKey(*key);
        if (state == MenuState::Open) continue;
        beneath->Restore();
        FlushScreen();
        return state == MenuState::Chosen ? menu.Selected() : -1;
    }
}

int TerminalFrontEnd::ShowMessage(const MessageRequest& message) {
    MessageDialog box = BuildMessageDialog(message, ScreenWidth());
    const bool warning = (message.Flags & FMSG_WARNING) != 0;
    const int count = static_cast<int>(box.Items.size());
    if (message.Buttons.empty()) {
        // Stays on screen while the work goes on; the next such box takes its place.
        // The terminal's size changed since: the screen beneath was redrawn, keep it anew.
        const KeptScreen& kept = standingBeneath_;
        if (kept.Cells && kept.Width == ScreenWidth() && kept.Height == ScreenHeight())
            kept.Cells->Restore();
        const Rect area = CentredBox(box.Width, box.Height);
        standingBeneath_ = KeepScreen(WithShadow(area));
        DialogModel shown(box.Items.data(), count);
        DrawDialog(shown, area, warning);
        HideCursor();
        FlushScreen();
        return -1;
    }
    const int closing = RunDialog(box.Items.data(), count, box.Width, box.Height, warning);
    return closing < box.FirstButton ? -1 : closing - box.FirstButton;
}

int TerminalFrontEnd::ShowMenu(const MenuRequest& menu) {
    return RunMenu(menu);
}

int TerminalFrontEnd::ShowDialog(const DialogRequest& dialog) {
    return RunDialog(dialog.Items, dialog.Count, dialog.Width, dialog.Height, false,
                     dialog.HelpTopic);
}

bool TerminalFrontEnd::Edit(const std::string& file, const std::string&, int line, int column) {
    const std::string command = EditorCommand();
    bool finished = true;
    try {
        const bool changed = EditAsUtf8(file, [&](const std::string& copy) {
            SuspendedTerminal suspended;
            finished = RunEditor(command, copy, line, column);
        });
        if (!finished) Tell("Editor", "The editor \"" + command + "\" reported a failure.");
        return changed;
    } catch (const std::exception& error) {
        Tell("Editor", platform::Utf8ToOem(error.what()));
        return false;
    }
}

void TerminalFrontEnd::ShowText(int x, int y, const std::string& text) {
    PutText(x, y, text, Role::PanelText);
    FlushScreen();
}

void TerminalFrontEnd::PanelRedrawn() {
    if (!titlePainter_) return;
    titlePainter_();
    FlushScreen();
}

void TerminalFrontEnd::Tell(const std::string& title, const std::string& text) {
    MessageRequest message;
    message.Lines = {title, text};
    message.Buttons = {"OK"};
    ShowMessage(message);
}

void TerminalFrontEnd::Notice(const std::string& text) {
    Tell("kestrova", text);
}

TerminalFrontEnd::KeptScreen TerminalFrontEnd::KeepScreen() {
    return KeptScreen{std::make_shared<ScreenSnapshot>(), ScreenWidth(), ScreenHeight()};
}

TerminalFrontEnd::KeptScreen TerminalFrontEnd::KeepScreen(const Rect& area) {
    return KeptScreen{std::make_shared<ScreenSnapshot>(area), ScreenWidth(), ScreenHeight()};
}

void TerminalFrontEnd::SaveScreen(intptr_t handle) {
    saved_[handle] = SavedScreen{KeepScreen(), standingBeneath_};
}

void TerminalFrontEnd::RestoreScreen(intptr_t handle) {
    const auto found = saved_.find(handle);
    if (found == saved_.end()) return;
    found->second.Screen.Cells->Restore();
    standingBeneath_ = found->second.StandingBeneath;
    // Screens saved after this one were saved inside it: they cannot come back any more.
    saved_.erase(found, saved_.end());
    FlushScreen();
}

}  // namespace kestrova::host::tui

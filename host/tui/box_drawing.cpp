#include "host/tui/box_drawing.h"

#include <algorithm>

#include "host/dialog_items.h"
#include "platform/display_width.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

struct BoxRoles {
    Role Text;
    Role Focus;
};

BoxRoles RolesOf(bool warning) {
    return warning ? BoxRoles{Role::Warning, Role::WarningFocus}
                   : BoxRoles{Role::Dialog, Role::DialogFocus};
}

// Text with its hot key in the hot-key colour (unless the whole item is focused).
void PutMarked(int x, int y, const MarkedText& label, Role role, int maxWidth = -1) {
    PutText(x, y, label.Text, role, maxWidth);
    const bool focused = role == Role::DialogFocus || role == Role::WarningFocus;
    if (label.HotIndex < 0 || focused) return;
    const size_t at = static_cast<size_t>(label.HotIndex);
    const int cell = platform::TextWidth(std::string_view(label.Text).substr(0, at));
    size_t end = at;
    platform::NextUtf8CodePoint(label.Text, end);
    if (maxWidth < 0 || cell < maxWidth)
        PutText(x + cell, y, label.Text.substr(at, end - at), Role::DialogHotKey);
}

// A title centred on a frame's top or bottom edge, with a space on either side; a title
// longer than the frame ends in "…".
void PutEdgeTitle(const Rect& frame, int y, const std::string& title, Role role) {
    const int room = frame.Width - 4;
    if (title.empty() || room < 1) return;
    const bool cut = platform::TextWidth(title) > room;
    const std::string text =
        " " + title.substr(0, cut ? platform::PrefixForWidth(title, room - 1) : title.size()) +
        (cut ? " " : "") + " ";
    const int x = frame.X + (frame.Width - platform::TextWidth(text)) / 2;
    PutText(x, y, text, role);
    if (cut) PutChar(x + platform::TextWidth(text) - 2, y, U'\u2026', role);
}

void DrawEdit(DialogModel& dialog, int index, int x, int y, int width, bool focused) {
    EditLine& edit = *dialog.Edit(index);
    const size_t first = edit.FirstVisible(width);
    std::string shown = edit.Text().substr(std::min(first, edit.Text().size()));
    if (dialog.Item(index).Type == DI_PSWEDIT)
        shown.assign(static_cast<size_t>(platform::TextWidth(shown)), '*');
    shown = platform::FitToWidth(shown, width);
    const bool selected = focused && edit.Selected() && !edit.Text().empty();
    PutText(x, y, shown, selected ? Role::DialogFocus : Role::DialogEdit);
    if (focused) ShowCursor(x + std::min(edit.CursorCells(first), width - 1), y);
}

}  // namespace

Rect CentredBox(int width, int height) {
    return Rect{(ScreenWidth() - width) / 2, (ScreenHeight() - height) / 2, width, height};
}

void DrawDialog(DialogModel& dialog, const Rect& area, bool warning) {
    const BoxRoles roles = RolesOf(warning);
    Fill(area, roles.Text);
    DrawShadow(area);
    HideCursor();
    const std::vector<ItemPlace> places = PlaceItems(dialog, area.Width);
    // Separators reach across the frame (item 0), or across the whole box without one.
    const FarDialogItem& first = dialog.Item(0);
    const bool framed = first.Type == DI_DOUBLEBOX || first.Type == DI_SINGLEBOX;
    const LineStyle frameStyle = first.Type == DI_DOUBLEBOX ? LineStyle::Double : LineStyle::Single;
    const int lineLeft = framed ? area.X + first.X1 : area.X;
    const int lineWidth = framed ? first.X2 - first.X1 + 1 : area.Width;
    for (int i = 0; i < dialog.Count(); ++i) {
        const FarDialogItem& item = dialog.Item(i);
        const int x = area.X + places[i].X;
        const int y = area.Y + places[i].Y;
        const bool focused = i == dialog.Focus();
        const Role role = focused ? roles.Focus : roles.Text;
        const MarkedText& label = dialog.Label(i);
        switch (item.Type) {
            case DI_SINGLEBOX:
            case DI_DOUBLEBOX: {
                const Rect frame{x, y, places[i].Width, std::max(item.Y2 - item.Y1 + 1, 2)};
                DrawFrame(frame, roles.Text,
                          item.Type == DI_DOUBLEBOX ? LineStyle::Double : LineStyle::Single);
                PutEdgeTitle(frame, frame.Y, label.Text, roles.Text);
                break;
            }
            case DI_TEXT:
                if (item.Flags & DIF_SEPARATOR) {
                    DrawSeparator(lineLeft, y, lineWidth, roles.Text, LineStyle::Single,
                                  frameStyle);
                    PutEdgeTitle(Rect{lineLeft, y, lineWidth, 1}, y, label.Text, roles.Text);
                } else {
                    PutMarked(x, y, label, roles.Text);
                }
                break;
            case DI_VTEXT:
                for (size_t n = 0, row = 0; n < label.Text.size(); ++row) {
                    const size_t start = n;
                    platform::NextUtf8CodePoint(label.Text, n);
                    PutText(x, y + static_cast<int>(row), label.Text.substr(start, n - start),
                            roles.Text);
                }
                break;
            case DI_BUTTON:
                if (item.Flags & DIF_NOBRACKETS) {
                    PutMarked(x, y, label, role);
                } else {
                    PutText(x, y, "[ ", role);
                    PutMarked(x + 2, y, label, role);
                    PutText(x + 2 + platform::TextWidth(label.Text), y, " ]", role);
                }
                // The cursor marks the focus too, where colours do not show it.
                if (focused) ShowCursor(x + (item.Flags & DIF_NOBRACKETS ? 0 : 2), y);
                break;
            case DI_CHECKBOX:
            case DI_RADIOBUTTON: {
                const bool radio = item.Type == DI_RADIOBUTTON;
                std::string mark = radio ? "( ) " : "[ ] ";
                if (item.Selected) mark[1] = radio ? '*' : 'x';
                PutText(x, y, mark, role);
                PutMarked(x + 4, y, label, role);
                if (focused) ShowCursor(x + 1, y);
                break;
            }
            default:
                if (IsEditField(item.Type)) DrawEdit(dialog, i, x, y, places[i].Width, focused);
                break;
        }
    }
}

Rect MenuBox(const MenuModel& menu, const std::string& title, const std::string& bottom, int x,
             int y) {
    // A title needs a space on either side within the frame's corners.
    int widest = std::max(platform::TextWidth(title), platform::TextWidth(bottom)) + 4;
    for (const MenuEntry& entry : menu.Entries())
        widest = std::max(widest, platform::TextWidth(entry.Label.Text) + 4);
    // The frame and a column of space on each side of it.
    const int width = std::min(widest + 4, std::max(ScreenWidth() - 2, 10));
    const int height =
        std::min(static_cast<int>(menu.Entries().size()) + 4, std::max(ScreenHeight() - 2, 5));
    if (x < 0) return CentredBox(width, height);
    return Rect{std::min(x, std::max(ScreenWidth() - width, 0)),
                std::min(y, std::max(ScreenHeight() - height, 0)), width, height};
}

int MenuRows(const Rect& box) {
    return std::max(box.Height - 4, 1);
}

void DrawMenu(const MenuModel& menu, const std::string& title, const std::string& bottom,
              const Rect& box) {
    Fill(box, Role::Dialog);
    DrawShadow(box);
    HideCursor();
    const Rect frame{box.X + 2, box.Y + 1, box.Width - 4, box.Height - 2};
    DrawFrame(frame, Role::Dialog, LineStyle::Double);
    PutEdgeTitle(frame, frame.Y, title, Role::Dialog);
    PutEdgeTitle(frame, frame.Bottom(), bottom, Role::Dialog);
    const int rows = MenuRows(box);
    const int textWidth = frame.Width - 2;
    const std::vector<MenuEntry>& entries = menu.Entries();
    for (int row = 0; row < rows && menu.Top() + row < static_cast<int>(entries.size()); ++row) {
        const int index = menu.Top() + row;
        const MenuEntry& entry = entries[index];
        const int y = frame.Y + 1 + row;
        if (entry.Separator) {
            DrawSeparator(frame.X, y, frame.Width, Role::Dialog, LineStyle::Single,
                          LineStyle::Double);
            continue;
        }
        const Role role = index == menu.Selected() ? Role::DialogFocus : Role::Dialog;
        PutText(frame.X + 1, y, std::string(textWidth, ' '), role);
        if (entry.Checked) PutChar(frame.X + 1, y, U'\u221A', role);
        PutMarked(frame.X + 2, y, entry.Label, role, textWidth - 2);
    }
}

}  // namespace kestrova::host::tui

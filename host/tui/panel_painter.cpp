#include "host/tui/panel_painter.h"

#include <algorithm>

#include "hostapi/plugin_api.h"
#include "platform/display_width.h"

namespace kestrova::host::tui {
namespace {

constexpr LineStyle kFrame = LineStyle::Double;

Role ItemRole(const PluginPanelItem& item, bool cursor) {
    const bool selected = item.Flags & PPIF_SELECTED;
    if (cursor) return selected ? Role::PanelCursorSelected : Role::PanelCursor;
    if (selected) return Role::PanelSelected;
    if (item.Flags & PPIF_UNREAD) return Role::PanelUnread;
    return IsFolder(item) ? Role::PanelFolder : Role::PanelText;
}

void PaintTitle(const Rect& frame, const std::string& title, bool active) {
    const int room = frame.Width - 4;
    if (room <= 0) return;
    const std::string shown =
        " " + title.substr(0, platform::PrefixForWidth(title, std::max(room - 2, 0))) + " ";
    const int x = frame.X + (frame.Width - platform::TextWidth(shown)) / 2;
    PutText(x, frame.Y, shown, active ? Role::PanelTitleActive : Role::PanelTitle);
}

std::vector<Column> ColumnsOf(const PanelView& panel, const PanelLook& look, const Rect& frame) {
    return LayoutColumns(panel.ColumnTypes(), panel.ColumnWidths(), look.ColumnTitles,
                         frame.Width - 2);
}

// The top edge of a panel's frame: its corners, where the column lines meet it, the title.
void PaintTopEdge(const Rect& frame, const std::vector<Column>& columns, const PanelLook& look) {
    if (frame.Width < 2) return;
    PutChar(frame.X, frame.Y, BoxCharacter(false, true, false, true, kFrame, kFrame),
            Role::PanelFrame);
    const char32_t line = BoxCharacter(false, false, true, true, kFrame, kFrame);
    for (int x = frame.X + 1; x < frame.Right(); ++x) PutChar(x, frame.Y, line, Role::PanelFrame);
    PutChar(frame.Right(), frame.Y, BoxCharacter(false, true, true, false, kFrame, kFrame),
            Role::PanelFrame);
    for (size_t i = 0; i + 1 < columns.size(); ++i)
        PutChar(frame.X + 1 + columns[i].X + columns[i].Width, frame.Y,
                BoxCharacter(false, true, true, true, kFrame, LineStyle::Single), Role::PanelFrame);
    PaintTitle(frame, look.Title, look.Active);
}

}  // namespace

PanelLook LookOf(const PanelView& panel, bool active) {
    PanelLook look;
    look.Active = active;
    if (const auto* module = dynamic_cast<const ModulePanel*>(&panel)) {
        look.Title = module->Title();
        look.ColumnTitles = module->ColumnTitles();
        look.StatusTypes = module->StatusColumnTypes();
        look.StatusWidths = module->StatusColumnWidths();
    } else {
        look.Title = panel.Folder();
    }
    return look;
}

void PaintPanel(PanelView& panel, const PanelLook& look, const Rect& frame) {
    Fill(frame, Role::PanelText);
    DrawFrame(frame, Role::PanelFrame, kFrame);
    const PanelRows rows = LayoutPanelRows(frame);
    panel.SetVisibleRows(rows.ItemRows);
    panel.SetScreenRect(frame.X, frame.Y, frame.Right(), frame.Bottom());
    const int innerX = frame.X + 1, innerWidth = frame.Width - 2;
    const std::vector<Column> columns = ColumnsOf(panel, look, frame);
    for (const Column& column : columns) {
        const std::string title =
            column.Title.empty() && column.Type == 'N' ? "Name" : column.Title;
        const int pad = std::max(column.Width - platform::TextWidth(title), 0) / 2;
        PutText(innerX + column.X + pad, rows.TitlesY, title, Role::PanelTitle, column.Width);
    }
    const PanelItemList& items = panel.Items();
    const int count = static_cast<int>(items.Size());
    for (int row = 0; row < rows.ItemRows && panel.Top() + row < count; ++row) {
        const int index = panel.Top() + row;
        const bool cursor = index == panel.Current() && look.Active;
        const Role role = ItemRole(items[index], cursor);
        if (cursor) Fill({innerX, rows.FirstItemY + row, innerWidth, 1}, role);
        for (const Column& column : columns)
            PutText(innerX + column.X, rows.FirstItemY + row, CellText(items[index], column), role,
                    column.Width);
    }
    DrawSeparator(frame.X, rows.SeparatorY, frame.Width, Role::PanelFrame, LineStyle::Single,
                  kFrame);
    // Column lines from the top frame down to the separator, over the cursor bar too.
    const int cursorRow = panel.Current() - panel.Top();
    for (size_t i = 0; i + 1 < columns.size(); ++i) {
        const int x = innerX + columns[i].X + columns[i].Width;
        DrawVerticalLine(x, rows.TitlesY, rows.SeparatorY - rows.TitlesY, Role::PanelFrame,
                         LineStyle::Single);
        if (look.Active && cursorRow >= 0 && cursorRow < rows.ItemRows && panel.Current() < count)
            PutChar(x, rows.FirstItemY + cursorRow,
                    BoxCharacter(true, true, false, false, LineStyle::Single, LineStyle::Single),
                    ItemRole(items[panel.Current()], true));
        PutChar(x, rows.SeparatorY,
                BoxCharacter(true, false, true, true, LineStyle::Single, LineStyle::Single),
                Role::PanelFrame);
    }
    if (panel.Current() < count) {
        const std::vector<Column> status =
            look.StatusTypes.empty()
                ? LayoutColumns("N,S,D,T", "0,10,0,5", {}, innerWidth)
                : LayoutColumns(look.StatusTypes, look.StatusWidths, {}, innerWidth);
        for (const Column& column : status)
            PutText(innerX + column.X, rows.StatusY, CellText(items[panel.Current()], column),
                    Role::PanelStatus, column.Width);
    }
    if (panel.SelectedCount() > 0) {
        const std::string text = " " + std::to_string(panel.SelectedCount()) + " selected ";
        PutText(frame.X + (frame.Width - static_cast<int>(text.size())) / 2, rows.SeparatorY, text,
                Role::PanelSelected);
    }
    PaintTopEdge(frame, columns, look);
}

void PaintPanelTitle(const PanelView& panel, const PanelLook& look, const Rect& frame) {
    PaintTopEdge(frame, ColumnsOf(panel, look, frame), look);
}

void PaintInfoPanel(const std::string& title, const std::vector<InfoPanelLine>& lines,
                    const Rect& frame) {
    Fill(frame, Role::PanelText);
    DrawFrame(frame, Role::PanelFrame, kFrame);
    int y = frame.Y + 1;
    const int innerWidth = frame.Width - 2;
    for (const InfoPanelLine& line : lines) {
        if (y >= frame.Bottom()) break;
        if (line.Separator) {
            DrawSeparator(frame.X, y, frame.Width, Role::PanelFrame, LineStyle::Single, kFrame);
            const std::string text = line.Text[0] ? std::string(" ") + line.Text + " " : "";
            PutText(frame.X + (frame.Width - platform::TextWidth(text)) / 2, y, text,
                    Role::PanelTitle, innerWidth);
        } else {
            const int used = PutText(frame.X + 2, y, line.Text, Role::PanelText, innerWidth - 2);
            const std::string data = line.Data;
            const int room = innerWidth - 3 - used;
            if (room > 0)
                PutText(frame.X + frame.Width - 2 - std::min(platform::TextWidth(data), room), y,
                        data, Role::PanelSelected, room);
        }
        ++y;
    }
    PaintTitle(frame, title, false);
}

void PaintCommandLine(int y, const std::string& prompt, const std::string& text) {
    const int width = ScreenWidth();
    Fill({0, y, width, 1}, Role::CommandLine);
    const int promptCells = PutText(0, y, prompt, Role::CommandLine, width);
    // A long command shows its end, where the cursor is.
    const int room = std::max(width - promptCells - 1, 0);
    const std::string shown = text.substr(platform::SuffixForWidth(text, room));
    PutText(promptCells, y, shown, Role::CommandLine, room);
    ShowCursor(promptCells + platform::TextWidth(shown), y);
}

void PaintKeyBar(int y, const std::array<std::string, 12>& labels) {
    const std::vector<KeyBarSlot> slots = LayoutKeyBar(ScreenWidth());
    Fill({0, y, ScreenWidth(), 1}, Role::KeyBarNumber);
    for (size_t key = 0; key < slots.size(); ++key) {
        const KeyBarSlot& slot = slots[key];
        PutText(slot.X, y, std::to_string(key + 1), Role::KeyBarNumber, slot.NumberWidth);
        // The label's last cell stays a gap before the next number.
        PutText(slot.X + slot.NumberWidth, y, Fit(labels[key], slot.LabelWidth - 1),
                Role::KeyBarLabel, slot.LabelWidth - 1);
    }
}

}  // namespace kestrova::host::tui

#include "host/tui/dialog_layout.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>

#include "host/dialog_items.h"
#include "platform/display_width.h"

namespace kestrova::host::tui {

int ItemWidth(const FarDialogItem& item, const MarkedText& label) {
    const int text = platform::TextWidth(label.Text);
    switch (item.Type) {
        case DI_BUTTON:
            return item.Flags & DIF_NOBRACKETS ? text : text + 4;
        case DI_CHECKBOX:
        case DI_RADIOBUTTON:
            return text + 4;
        case DI_SINGLEBOX:
        case DI_DOUBLEBOX:
            return item.X2 - item.X1 + 1;
        case DI_VTEXT:
            return 1;
        default:
            if (IsEditField(item.Type)) return item.X2 >= item.X1 ? item.X2 - item.X1 + 1 : 1;
            return text;
    }
}

int WidenForTitle(FarDialogItem* items, int count, int room) {
    if (count < 1 || (items[0].Type != DI_DOUBLEBOX && items[0].Type != DI_SINGLEBOX)) return 0;
    FarDialogItem& frame = items[0];
    const MarkedText title =
        ParseMarkedText(std::string_view(frame.Data, strnlen(frame.Data, sizeof frame.Data)),
                        (frame.Flags & DIF_SHOWAMPERSAND) != 0);
    const int wanted = static_cast<int>(title.Text.size()) + 4 - ItemWidth(frame, title);
    const int widened = std::clamp(wanted, 0, std::max(room, 0));
    frame.X2 += widened;
    return widened;
}

std::vector<ItemPlace> PlaceItems(const DialogModel& dialog, int dialogWidth) {
    const int count = dialog.Count();
    std::vector<ItemPlace> places(count);
    std::map<int, std::vector<int>> centredRows;  // line -> items, in item order
    for (int i = 0; i < count; ++i) {
        const FarDialogItem& item = dialog.Item(i);
        ItemPlace& place = places[i];
        place.X = item.X1;
        place.Y = item.Y1;
        place.Width = ItemWidth(item, dialog.Label(i));
        if (item.Flags & DIF_CENTERGROUP)
            centredRows[item.Y1].push_back(i);
        else if ((item.Type == DI_TEXT || item.Type == DI_VTEXT) && item.X1 < 0)
            place.X = (dialogWidth - place.Width) / 2;
    }
    for (const auto& [line, row] : centredRows) {
        int total = -1;
        for (int i : row) total += places[i].Width + 1;
        int x = (dialogWidth - total) / 2;
        for (int i : row) {
            places[i].X = x;
            x += places[i].Width + 1;
        }
    }
    return places;
}

int ItemAt(const std::vector<ItemPlace>& places, int x, int y) {
    for (int i = static_cast<int>(places.size()) - 1; i >= 0; --i) {
        const ItemPlace& place = places[i];
        if (y == place.Y && x >= place.X && x < place.X + place.Width) return i;
    }
    return -1;
}

}  // namespace kestrova::host::tui

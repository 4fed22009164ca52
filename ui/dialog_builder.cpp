#include "ui/dialog_builder.h"

#include <algorithm>
#include <cstring>

#include "common/integer_text.h"
#include "common/text_utils.h"
#include "ui/console_keys.h"
#include "ui/host_services.h"
#include "ui/item_text.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// The first input field of every dialog table: the focus when none is given.
constexpr int kFirstInputItem = 2;

// An index that is 0, negative or past the end means the table's usual item.
int IndexOrFallback(int index, int count, int fallback) {
    return index <= 0 || index >= count ? fallback : index;
}

}  // namespace

DialogItems BuildDialog(std::span<const DialogItemTemplate> templates, int defaultIndex,
                        int focusIndex) {
    DialogItems items(templates.size());
    for (size_t i = 0; i < templates.size(); ++i) {
        const DialogItemTemplate& source = templates[i];
        FarDialogItem& item = items[i];
        item.Type = source.Type;
        item.X1 = source.X1;
        item.Y1 = source.Y1;
        item.X2 = source.X2;
        item.Flags = source.Flags;
        CopyItemText(item.Data, GetMsg(source.MsgNum));
    }
    const int count = static_cast<int>(items.size());
    if (count == 0) return items;
    const int defaultItem = IndexOrFallback(defaultIndex, count, count - 2);
    const int focusItem = IndexOrFallback(focusIndex, count, kFirstInputItem);
    if (defaultItem >= 0) items[defaultItem].DefaultButton = 1;
    if (focusItem < count) items[focusItem].Focus = 1;
    const auto lowest = std::max_element(items.begin(), items.end(),
                                         [](const auto& a, const auto& b) { return a.Y1 < b.Y1; });
    items[0].Y2 = lowest->Y1 + 1;
    return items;
}

int ShowDialog(DialogItems& items, const char* helpTopic) {
    if (items.empty()) return -1;
    FlushInput();
    const FarDialogItem& frame = items.front();
    return StartupInfo.Dialog(StartupInfo.ModuleNumber, -1, -1, frame.X2 + 4, frame.Y2 + 2,
                              helpTopic, items.data(), static_cast<int>(items.size()));
}

void SetItemText(FarDialogItem& item, std::string_view text) {
    CopyItemText(item.Data, text, kItemValueLimit);
}

std::string ItemText(const FarDialogItem& item) {
    return std::string(item.Data, strnlen(item.Data, sizeof item.Data));
}

void SetItemNumber(FarDialogItem& item, int value) {
    SetItemText(item, IntToText(value));
}

int ItemNumber(const FarDialogItem& item, int defaultValue) {
    return TextToIntDef(Trim(ItemText(item)), defaultValue);
}

void SetItemCheck(FarDialogItem& item, int value) {
    item.Selected = value != 0;
}

int ItemCheck(const FarDialogItem& item) {
    return item.Selected != 0;
}

void SetItemHistory(FarDialogItem& item, const char* historyName) {
    item.History = historyName;
    item.Flags |= DIF_HISTORY;
}

}  // namespace kestrova

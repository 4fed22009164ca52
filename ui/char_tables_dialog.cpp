#include <array>

#include "common/format_text.h"
#include "ui/char_tables.h"
#include "ui/config_dialogs.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"

namespace kestrova {
namespace {

// Row i: the name field 3 + 2i and the table button 4 + 2i.
constexpr int kFirstRowItem = 3;
constexpr int kAccept = 24;

int NameItem(int slot) {
    return kFirstRowItem + 2 * slot;
}
int TableItem(int slot) {
    return kFirstRowItem + 2 * slot + 1;
}

constexpr std::array<DialogItemTemplate, 26> BuildTemplate() {
    std::array<DialogItemTemplate, 26> table{};
    table[0] = {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgCharTables};
    table[1] = {DI_TEXT, 5, 2, 34, 0, kMsgCharsetName};
    table[2] = {DI_TEXT, 36, 2, 0, 0, kMsgConversionTable};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        table[kFirstRowItem + 2 * slot] = {DI_EDIT, 5, 3 + slot, 34, 0, 0};
        table[kFirstRowItem + 2 * slot + 1] = {DI_BUTTON, 36, 3 + slot, 0, DIF_NOBRACKETS, 0};
    }
    table[23] = {DI_TEXT, 5, 13, 0, kSeparatorLine, 0};
    table[24] = {DI_BUTTON, 0, 14, 0, kButtonRow, kMsgSave};
    table[25] = {DI_BUTTON, 0, 14, 0, kButtonRow, kMsgCancel};
    return table;
}
constexpr std::array<DialogItemTemplate, 26> kTemplate = BuildTemplate();

std::string TableButtonText(const std::string& tableName) {
    return FormatText("%30s", {tableName});
}

// The row whose table button closed the dialog, or -1.
int RowOfTableButton(int item) {
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (item == TableItem(slot)) return slot;
    return -1;
}

}  // namespace

bool CharTablesDialog() {
    DialogItems items = BuildDialog(kTemplate, kAccept, kFirstRowItem);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const TCharsetSlot& charset = CharsetSlots[slot];
        SetItemText(items[NameItem(slot)], charset.CharsetNames);
        SetItemText(items[TableItem(slot)], charset.CharsetNames.empty()
                                                ? TableButtonText("")
                                                : TableButtonText(charset.CharsetTables));
    }
    int closedBy;
    int row;
    while ((row = RowOfTableButton(closedBy = ShowDialog(items, nullptr))) >= 0) {
        // The chosen table is kept in memory at once, even when the dialog is cancelled later.
        std::string& table = CharsetSlots[row].CharsetTables;
        const int code = table.empty() ? kDefaultTable : TableCodeOf(table);
        table = TableCodeName(ChooseTableCode(code));
        SetItemText(items[TableItem(row)], TableButtonText(table));
    }
    if (closedBy != kAccept) return false;

    for (int slot = 0; slot < kSlotCount; ++slot)
        CharsetSlots[slot].CharsetNames = ItemText(items[NameItem(slot)]);
    SaveSlots();
    return true;
}

}  // namespace kestrova

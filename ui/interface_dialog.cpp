#include <array>

#include "ui/config_dialogs.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

enum : int {
    kAddToDisksMenu = 1,
    kDiskMenuNumber = 2,
    kConnectAsDefault = 5,
    kShowPrivateHosts = 6,
    kSoundAlert = 7,
    kReplaceModes = 9,
    kColumnTypes = 11,
    kColumnWidths = 13,
    kStatusTypes = 15,
    kStatusWidths = 17,
    kAccept = 19,
};

constexpr std::array<DialogItemTemplate, 21> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgInterface},
    {DI_CHECKBOX, 5, 2, 0, 0, kMsgAddToDisks},
    {DI_FIXEDIT, 7, 3, 7, 0, 0},
    {DI_TEXT, 9, 3, 0, 0, kMsgDisksHotkey},
    {DI_TEXT, 5, 4, 0, kSeparatorLine, 0},
    {DI_CHECKBOX, 5, 5, 0, 0, kMsgConnectIsDefault},
    {DI_CHECKBOX, 5, 6, 0, 0, kMsgShowPrivateHosts},
    {DI_CHECKBOX, 5, 7, 0, 0, kMsgBeep},
    {DI_TEXT, 5, 8, 0, kSeparatorLine, 0},
    {DI_CHECKBOX, 5, 9, 0, 0, kMsgOwnViewModes},
    {DI_TEXT, 5, 10, 0, 0, kMsgColumnTypes},
    {DI_EDIT, 5, 11, 35, 0, 0},
    {DI_TEXT, 5, 12, 0, 0, kMsgColumnWidths},
    {DI_EDIT, 5, 13, 35, 0, 0},
    {DI_TEXT, 37, 10, 0, 0, kMsgStatusColumnTypes},
    {DI_EDIT, 37, 11, 68, 0, 0},
    {DI_TEXT, 37, 12, 0, 0, kMsgStatusColumnWidths},
    {DI_EDIT, 37, 13, 68, 0, 0},
    {DI_TEXT, 5, 14, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 15, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 15, 0, kButtonRow, kMsgCancel},
}};

}  // namespace

bool InterfaceDialog() {
    DialogItems items = BuildDialog(kTemplate, kAccept, kAddToDisksMenu);
    SetItemCheck(items[kAddToDisksMenu], Options.AddToDisksMenu);
    SetItemNumber(items[kDiskMenuNumber], Options.DiskMenuNumber);
    SetItemCheck(items[kConnectAsDefault], Options.ConnectAsDefault);
    SetItemCheck(items[kShowPrivateHosts], Options.ShowPrivateHosts);
    SetItemCheck(items[kSoundAlert], Options.SoundAlert);
    SetItemCheck(items[kReplaceModes], Options.ReplaceModes);
    SetItemText(items[kColumnTypes], ColumnTypes);
    SetItemText(items[kColumnWidths], ColumnWidths);
    SetItemText(items[kStatusTypes], StatusTypes);
    SetItemText(items[kStatusWidths], StatusWidths);
    if (ShowDialog(items, "dlgInterface") != kAccept) return false;

    Options.AddToDisksMenu = ItemCheck(items[kAddToDisksMenu]);
    Options.DiskMenuNumber = ItemNumber(items[kDiskMenuNumber]);
    Options.ConnectAsDefault = ItemCheck(items[kConnectAsDefault]);
    Options.ShowPrivateHosts = ItemCheck(items[kShowPrivateHosts]);
    Options.SoundAlert = ItemCheck(items[kSoundAlert]);
    Options.ReplaceModes = ItemCheck(items[kReplaceModes]);
    ColumnTypes = ItemText(items[kColumnTypes]);
    ColumnWidths = ItemText(items[kColumnWidths]);
    StatusTypes = ItemText(items[kStatusTypes]);
    StatusWidths = ItemText(items[kStatusWidths]);
    SaveInterfaceOptions();
    return true;
}

}  // namespace kestrova

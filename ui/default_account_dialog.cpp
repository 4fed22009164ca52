#include <array>

#include "ui/author_fields.h"
#include "ui/config_dialogs.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

enum : int {
    kFromName = 2,  // the first item of the author block
    kAccept = 16,
};

constexpr std::array<DialogItemTemplate, 18> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgDefaultAccount},
    {DI_TEXT, 5, 2, 0, 0, kMsgYourName},
    {DI_EDIT, 18, 2, 68, 0, 0},
    {DI_TEXT, 5, 3, 0, 0, kMsgEmail},
    {DI_EDIT, 18, 3, 68, 0, 0},
    {DI_TEXT, 5, 4, 0, 0, kMsgReplyTo},
    {DI_EDIT, 18, 4, 68, 0, 0},
    {DI_TEXT, 5, 5, 0, 0, kMsgOrganization},
    {DI_EDIT, 18, 5, 68, 0, 0},
    {DI_TEXT, 5, 6, 0, kSeparatorLine, 0},
    {DI_CHECKBOX, 5, 7, 0, 0, kMsgAskLogin},
    {DI_CHECKBOX, 5, 8, 0, 0, kMsgUseProxy},
    {DI_TEXT, 5, 9, 0, kSeparatorLine, 0},
    {DI_BUTTON, 5, 10, 0, 0, kMsgCharsetButton},
    {DI_TEXT, 27, 10, 0, 0, 0},
    {DI_TEXT, 5, 11, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 12, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 12, 0, kButtonRow, kMsgCancel},
}};

}  // namespace

bool DefaultAccountDialog() {
    TAccountOptions& account = Options.Default;
    DialogItems items = BuildDialog(kTemplate, kAccept, kFromName);
    TAuthorFields author(kFromName);
    author.Put(items, account);
    // The table chosen here is stored only when the dialog is accepted.
    const int closedBy = author.Show(items, "dlgDefault");
    if (closedBy != kAccept) return false;

    author.Get(items, account);
    SaveDefaultOptions();
    return true;
}

}  // namespace kestrova

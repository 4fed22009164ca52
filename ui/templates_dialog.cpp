#include <array>

#include "ui/config_dialogs.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

enum : int {
    kQuote = 1,
    kDownload = 4,
    kSaveWithLf = 5,
    kNew = 8,
    kReply = 10,
    kSignature = 12,
    kAccept = 14
};

constexpr std::array<DialogItemTemplate, 16> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgTemplates},
    {DI_FIXEDIT, 5, 2, 5, 0, 0},
    {DI_TEXT, 7, 2, 0, 0, kMsgQuoteChar},
    {DI_TEXT, 5, 3, 0, 0, kMsgDownloadTemplate},
    {DI_EDIT, 5, 4, 68, 0, 0},
    {DI_CHECKBOX, 5, 5, 0, 0, kMsgSaveWithLf},
    {DI_TEXT, 5, 6, 0, kSeparatorLine, 0},
    {DI_TEXT, 5, 7, 0, 0, kMsgNewArticleTemplate},
    {DI_EDIT, 5, 8, 68, 0, 0},
    {DI_TEXT, 5, 9, 0, 0, kMsgReplyTemplate},
    {DI_EDIT, 5, 10, 68, 0, 0},
    {DI_TEXT, 5, 11, 0, 0, kMsgSignatureFile},
    {DI_EDIT, 5, 12, 68, 0, 0},
    {DI_TEXT, 5, 13, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 14, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 14, 0, kButtonRow, kMsgCancel},
}};

}  // namespace

bool TemplatesDialog() {
    TTemplatesOptions& templates = Options.Templates;
    DialogItems items = BuildDialog(kTemplate, kAccept, kQuote);
    SetItemText(items[kQuote], templates.QuoteChar ? std::string(1, templates.QuoteChar) : "");
    SetItemHistory(items[kDownload], "KstrvDnld");
    SetItemText(items[kDownload], templates.DownloadTemplate);
    SetItemCheck(items[kSaveWithLf], templates.SaveWithLf);
    SetItemHistory(items[kNew], "KstrvTpl");
    SetItemText(items[kNew], templates.NewTemplate);
    SetItemHistory(items[kReply], "KstrvTpl");
    SetItemText(items[kReply], templates.ReplyTemplate);
    SetItemHistory(items[kSignature], "KstrvSig");
    SetItemText(items[kSignature], templates.SignatureFile);
    if (ShowDialog(items, "dlgInterface") != kAccept) return false;

    const std::string quote = ItemText(items[kQuote]);
    templates.QuoteChar = quote.empty() ? kDefaultQuoteChar : quote[0];
    templates.DownloadTemplate = ItemText(items[kDownload]);
    templates.SaveWithLf = ItemCheck(items[kSaveWithLf]);
    templates.NewTemplate = ItemText(items[kNew]);
    templates.ReplyTemplate = ItemText(items[kReply]);
    templates.SignatureFile = ItemText(items[kSignature]);
    SaveTemplatesOptions();
    return true;
}

}  // namespace kestrova

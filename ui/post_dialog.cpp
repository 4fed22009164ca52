// The posting dialog and the header lines that its answers give.
#include <array>

#include "common/format_text.h"
#include "ui/article_date.h"
#include "ui/composition.h"
#include "ui/dialog_builder.h"
#include "ui/menus.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/product_info.h"

namespace kestrova {
namespace {

enum : int {
    kNewsgroups = 2,
    kPickGroup = 3,
    kSubject = 5,
    kTextPlain = 8,
    kTextBase64 = 9,
    kHtmlPlain = 10,
    kHtmlBase64 = 11,
    kChooseSource = 13,
    kSourceName = 14,
    kChooseTarget = 15,
    kTargetName = 16,
    kPostButton = 18,
    kPostAsIsButton = 19,
    kSaveButton = 20,
};

constexpr std::array<DialogItemTemplate, 22> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgPostTitle},
    {DI_TEXT, 5, 2, 0, 0, kMsgNewsgroups},
    {DI_EDIT, 20, 2, 64, 0, 0},
    {DI_BUTTON, 66, 2, 68, DIF_NOBRACKETS, 0},
    {DI_TEXT, 5, 3, 0, 0, kMsgSubject},
    {DI_EDIT, 20, 3, 68, 0, 0},
    {DI_TEXT, 5, 4, 0, kSeparatorLine, 0},
    {DI_TEXT, 5, 5, 0, 0, kMsgFormat},
    {DI_RADIOBUTTON, 27, 5, 0, 0, kMsgText8Bit},
    {DI_RADIOBUTTON, 27, 6, 0, 0, kMsgTextBase64},
    {DI_RADIOBUTTON, 48, 5, 0, 0, kMsgHtml8Bit},
    {DI_RADIOBUTTON, 48, 6, 0, 0, kMsgHtmlBase64},
    {DI_TEXT, 5, 7, 0, kSeparatorLine, 0},
    {DI_BUTTON, 5, 8, 0, 0, kMsgCharsetButton},
    {DI_TEXT, 27, 8, 0, 0, 0},
    {DI_BUTTON, 5, 9, 0, 0, kMsgSendingCharset},
    {DI_TEXT, 27, 9, 0, 0, 0},
    {DI_TEXT, 5, 10, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 11, 0, kButtonRow, kMsgPost},
    {DI_BUTTON, 0, 11, 0, kButtonRow, kMsgPostAsIs},
    {DI_BUTTON, 0, 11, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 11, 0, kButtonRow, kMsgCancel},
}};

// The day names of RFC 5322, Sunday first as SYSTEMTIME counts them.
constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::string HeaderLines(const FarDialogItem* items, const TPostInfo& post, const SYSTEMTIME& now) {
    const bool html = items[kHtmlPlain].Selected || items[kHtmlBase64].Selected;
    std::string type = html ? "text/html" : "text/plain";
    const std::string charset = SendingCharset(post.TargetSlot);
    if (!charset.empty()) type = FormatText("%s; charset=%s", {type, charset});
    std::string lines = DateHeaderLine(now) + "\r\n";
    lines += FormatText("Newsgroups: %s\r\n", {ItemText(items[kNewsgroups])});
    lines += FormatText("X-Mailer: %s plugin version %s\r\n", {kProductName, kProductVersion});
    lines += "MIME-Version: 1.0\r\n";
    lines += FormatText("Content-Type: %s\r\n", {type});
    lines += FormatText("Content-Transfer-Encoding: %s\r\n", {post.Base64 ? "base64" : "8bit"});
    return lines;
}

}  // namespace

std::string DateHeaderLine(const SYSTEMTIME& utc) {
    return FormatText("Date: %s, %2D %s %4D %2D:%2D:%2D +0000",
                      {kWeekdays[utc.wDayOfWeek % 7u], utc.wDay, MonthName(utc.wMonth), utc.wYear,
                       utc.wHour, utc.wMinute, utc.wSecond});
}

int PostDialog(const std::string& newsgroups, const TStringList& groups, TPostInfo& post,
               TStream& headers, const SYSTEMTIME& now) {
    post.Base64 = 0;
    post.SourceSlot = kNoSlot;
    DialogItems items = BuildDialog(kTemplate, kPostButton, kNewsgroups);
    SetItemText(items[kNewsgroups], newsgroups);
    SetItemText(items[kPickGroup], "(?)");
    SetItemText(items[kSubject], post.Subject);
    items[kTextPlain].Selected = 1;
    SetItemText(items[kSourceName], SlotName(post.SourceSlot));
    SetItemText(items[kTargetName], SendingCharset(post.TargetSlot));

    int picked = 0;
    int closedBy;
    while (true) {
        closedBy = ShowDialog(items, "dlgProxy");
        if (closedBy == kPickGroup) {
            const int chosen = RunListMenu(GetMsg(kMsgChooseGroup), groups, picked);
            if (chosen < 0) continue;
            picked = chosen;
            std::string text = ItemText(items[kNewsgroups]);
            if (!text.empty()) text += ",";
            SetItemText(items[kNewsgroups], text + groups[chosen]);
        } else if (closedBy == kChooseSource) {
            post.SourceSlot = ChooseSlot(post.SourceSlot);
            SetItemText(items[kSourceName], SlotName(post.SourceSlot));
        } else if (closedBy == kChooseTarget) {
            post.TargetSlot = ChooseSlot(post.TargetSlot);
            SetItemText(items[kTargetName], SendingCharset(post.TargetSlot));
        } else {
            break;
        }
    }
    const int outcome = closedBy == kPostButton       ? kPostComposed
                        : closedBy == kPostAsIsButton ? kPostAsIs
                        : closedBy == kSaveButton     ? kPostSave
                                                      : kPostCancel;
    if (outcome == kPostComposed || outcome == kPostSave) {
        post.Base64 = items[kTextBase64].Selected || items[kHtmlBase64].Selected ? 1 : 0;
        headers.WriteText(HeaderLines(items.data(), post, now));
        post.Subject = ItemText(items[kSubject]).substr(0, kSubjectLimit);
    }
    return outcome;
}

}  // namespace kestrova

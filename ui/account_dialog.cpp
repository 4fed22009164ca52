#include "ui/account_dialog.h"

#include <array>

#include "ui/author_fields.h"
#include "ui/dialog_builder.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"
#include "ui/server_port.h"

namespace kestrova {
namespace {

enum : int {
    kDescription = 2,
    kAddress = 4,
    kPassword = 6,
    kFromName = 9,  // the first item of the author block
    kSave = 23,
    kConnect = 24,
    kSecure = 26,    // after the buttons, so that the items before it keep their places
    kStartTls = 27,  // the secure connection starts on the plain port
};

// The address shows user name, host, port and path; the password has its own field.
constexpr unsigned kAddressFlags = kUrlUserName | kUrlNoScheme;

constexpr std::array<DialogItemTemplate, 28> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgAccountTitle},
    {DI_TEXT, 5, 2, 0, 0, kMsgDescription},
    {DI_EDIT, 18, 2, 68, 0, 0},
    {DI_TEXT, 5, 3, 0, 0, kMsgAddress},
    {DI_EDIT, 18, 3, 68, 0, 0},
    {DI_TEXT, 5, 4, 0, 0, kMsgPassword},
    {DI_PSWEDIT, 18, 4, 68, 0, 0},
    {DI_TEXT, 5, 5, 0, kSeparatorLine, 0},
    {DI_TEXT, 5, 6, 0, 0, kMsgYourName},
    {DI_EDIT, 18, 6, 68, 0, 0},
    {DI_TEXT, 5, 7, 0, 0, kMsgEmail},
    {DI_EDIT, 18, 7, 68, 0, 0},
    {DI_TEXT, 5, 8, 0, 0, kMsgReplyTo},
    {DI_EDIT, 18, 8, 68, 0, 0},
    {DI_TEXT, 5, 9, 0, 0, kMsgOrganization},
    {DI_EDIT, 18, 9, 68, 0, 0},
    {DI_TEXT, 5, 10, 0, kSeparatorLine, 0},
    {DI_CHECKBOX, 5, 11, 0, 0, kMsgAskLogin},
    {DI_CHECKBOX, 5, 12, 0, 0, kMsgUseProxy},
    {DI_TEXT, 5, 13, 0, kSeparatorLine, 0},
    {DI_BUTTON, 5, 14, 0, 0, kMsgCharsetButton},
    {DI_TEXT, 27, 14, 0, 0, 0},
    {DI_TEXT, 5, 15, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 16, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 16, 0, kButtonRow, kMsgConnect},
    {DI_BUTTON, 0, 16, 0, kButtonRow, kMsgCancel},
    {DI_CHECKBOX, 42, 11, 0, 0, kMsgSecureConnection},
    {DI_CHECKBOX, 42, 12, 0, 0, kMsgStartTlsBox},
}};

}  // namespace

int EditAccount(TAccountOptions& account) {
    DialogItems items =
        BuildDialog(kTemplate, Options.ConnectAsDefault ? kConnect : kSave, kDescription);
    std::string address;
    BuildUrl(account.Url, kAddressFlags, address);
    SetItemText(items[kDescription], account.Description);
    SetItemHistory(items[kAddress], "KstrvUrl");
    SetItemText(items[kAddress], address);
    SetItemText(items[kPassword], account.Url.Password);
    SetItemCheck(items[kSecure], account.Secure != kPlainConnection);
    SetItemCheck(items[kStartTls], account.Secure == kTlsByStartTls);
    TAuthorFields author(kFromName);
    author.Put(items, account);
    // The table chosen here reaches the record only with "save" or "connect". An address whose
    // port is not a port is refused, and the dialog comes back with what was typed.
    int closedBy;
    for (;;) {
        closedBy = author.Show(items, "dlgEditAcct");
        if (closedBy != kSave && closedBy != kConnect) return kAccountCancel;
        const std::string refusal = BadPortMessage(ItemText(items[kAddress]));
        if (refusal.empty()) break;
        ShowMessage(FMSG_WARNING, {GetMsg(kMsgAccountTitle), refusal}, {kMsgOk});
    }

    account.Description = ItemText(items[kDescription]);
    const TUrlComponents before = account.Url;
    account.Url = TUrlComponents{};
    ParseUrl(ItemText(items[kAddress]), kUrlNoScheme, account.Url);
    // STARTTLS asks for TLS by itself; an "nntps" address is TLS from the first byte.
    account.Secure = ItemCheck(items[kStartTls]) ? kTlsByStartTls
                     : ItemCheck(items[kSecure]) ? kTlsFromFirstByte
                                                 : kPlainConnection;
    if (IsSecureNewsScheme(account.Url.Scheme)) account.Secure = kTlsFromFirstByte;
    // A certificate trusted for one server says nothing about another.
    if (account.Url.HostName != before.HostName || account.Url.Port != before.Port) {
        account.TrustedCertificate.clear();
    }
    const std::string password = ItemText(items[kPassword]);
    if (!password.empty()) account.Url.Password = password;
    author.Get(items, account);
    return closedBy == kSave ? kAccountSave : kAccountConnect;
}

}  // namespace kestrova

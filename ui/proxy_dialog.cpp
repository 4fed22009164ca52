#include <array>

#include "common/url.h"
#include "ui/config_dialogs.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

enum : int { kAddress = 2, kPassword = 4, kSocks5 = 6, kAccept = 8 };

// The address shows user name, host, port and path; the password has its own field.
constexpr unsigned kAddressFlags = kUrlUserName | kUrlNoScheme;

constexpr std::array<DialogItemTemplate, 10> kTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgProxyServer},
    {DI_TEXT, 5, 2, 0, 0, kMsgAddress},
    {DI_EDIT, 17, 2, 68, 0, 0},
    {DI_TEXT, 5, 3, 0, 0, kMsgPassword},
    {DI_PSWEDIT, 17, 3, 68, 0, 0},
    {DI_TEXT, 5, 4, 0, kSeparatorLine, 0},
    {DI_CHECKBOX, 5, 5, 0, 0, kMsgUseSocks5},
    {DI_TEXT, 5, 6, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 7, 0, kButtonRow, kMsgSave},
    {DI_BUTTON, 0, 7, 0, kButtonRow, kMsgCancel},
}};

}  // namespace

bool ProxyDialog() {
    TProxyOptions& proxy = Options.Proxy;
    std::string address;
    BuildUrl(proxy.Url, kAddressFlags, address);
    DialogItems items = BuildDialog(kTemplate, kAccept, kAddress);
    SetItemHistory(items[kAddress], "TrnwProxy");
    SetItemText(items[kAddress], address);
    SetItemText(items[kPassword], proxy.Url.Password);
    SetItemCheck(items[kSocks5], proxy.Socks5);
    if (ShowDialog(items, "dlgProxy") != kAccept) return false;

    // Every component is replaced, so an emptied address field removes the proxy; an emptied
    // password field keeps what the address carried.
    proxy.Url = TUrlComponents{};
    ParseUrl(ItemText(items[kAddress]), kUrlNoScheme, proxy.Url);
    const std::string password = ItemText(items[kPassword]);
    if (!password.empty()) proxy.Url.Password = password;
    proxy.Socks5 = ItemCheck(items[kSocks5]);
    SaveProxyOptions();
    return true;
}

}  // namespace kestrova

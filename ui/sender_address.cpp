#include "ui/sender_address.h"

#include <algorithm>
#include <array>
#include <string>

#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

enum : int { kAddressItem = 2, kKeepItem = 3, kOkItem = 5 };
constexpr std::array<DialogItemTemplate, 7> kAddressTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, kMsgAddressTitle},
    {DI_TEXT, 5, 2, 0, 0, kMsgAddressNeeded},
    {DI_EDIT, 5, 3, 68, 0, 0},
    {DI_CHECKBOX, 5, 4, 0, 0, kMsgKeepAddress},
    {DI_TEXT, 5, 5, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 6, 0, kButtonRow, kMsgOk},
    {DI_BUTTON, 0, 6, 0, kButtonRow, kMsgCancel},
}};

bool IsAddressCharacter(char c) {
    constexpr std::string_view kSpecials = "<>()[]\\,;:\"@";
    return c > ' ' && c < 127 && kSpecials.find(c) == std::string_view::npos;
}

}  // namespace

bool IsPlausibleAddress(std::string_view address) {
    const size_t at = address.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 >= address.size()) return false;
    const std::string_view local = address.substr(0, at);
    const std::string_view domain = address.substr(at + 1);
    return std::all_of(local.begin(), local.end(), IsAddressCharacter) &&
           std::all_of(domain.begin(), domain.end(), IsAddressCharacter) && domain.front() != '.' &&
           domain.back() != '.';
}

bool EnsureSenderAddress(TAccountOptions& account) {
    if (IsPlausibleAddress(account.FromAddr)) return true;
    DialogItems items = BuildDialog(kAddressTemplate, kOkItem, kAddressItem);
    SetItemHistory(items[kAddressItem], "KstrvAddr");
    SetItemText(items[kAddressItem], account.FromAddr);
    SetItemCheck(items[kKeepItem], 1);
    std::string address;
    do {
        if (ShowDialog(items, nullptr) != kOkItem) return false;
        address = ItemText(items[kAddressItem]);
    } while (!IsPlausibleAddress(address));
    account.FromAddr = address;
    if (ItemCheck(items[kKeepItem])) {
        Options.Default.FromAddr = address;
        SaveDefaultOptions();
    }
    return true;
}

}  // namespace kestrova

#include "plugin/shortcut_data.h"

#include <algorithm>
#include <string_view>

#include "common/url.h"

namespace kestrova {
namespace {

// A length field: spaces, then decimal digits up to the end of the field; anything else is 0.
size_t LengthField(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    if (field.empty()) return 0;
    size_t value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    return value;
}

// Takes a three-character length and that many characters from the front of text.
std::string TakeCounted(std::string_view& text) {
    const size_t length = LengthField(text.substr(0, 3));
    text.remove_prefix(std::min<size_t>(3, text.size()));
    const std::string value(text.substr(0, length));
    text.remove_prefix(value.size());
    return value;
}

int Digit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

}  // namespace

bool ParseShortcut(const std::string& data, TShortcut& shortcut) {
    shortcut = TShortcut{};
    if (data.size() < 3) return false;
    std::string_view rest = data;
    const std::string headText = TakeCounted(rest);
    shortcut.Tail = std::string(rest);
    std::string_view head = headText;
    shortcut.Internet = !head.empty() && (head.front() == '1' || head.front() == '2');
    if (!shortcut.Internet) return true;

    TAccountOptions& account = shortcut.Account;
    if (head.front() == '2') account.Secure = kTlsByStartTls;
    ParseUrl(shortcut.Tail, kUrlNoScheme, account.Url);
    account.AskPassword = head.size() > 1 ? Digit(head[1]) : 0;
    account.UseProxy = head.size() > 2 ? Digit(head[2]) : 0;
    head.remove_prefix(std::min<size_t>(3, head.size()));
    account.FromName = TakeCounted(head);
    account.FromAddr = TakeCounted(head);
    account.ReplyTo = TakeCounted(head);
    account.Organization = TakeCounted(head);
    shortcut.CharTableName = std::string(head);
    return true;
}

}  // namespace kestrova

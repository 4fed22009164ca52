// ComposeHeaders: the posting dialog's lines followed by the author lines of the account.
#include "common/base64.h"
#include "common/format_text.h"
#include "platform/clock.h"
#include "ui/composition.h"

namespace kestrova {
namespace {

bool HasEightBitBytes(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) > 127) return true;
    return false;
}

// text converted to the target set, as an encoded word when Base64 is chosen or the converted
// bytes are not plain ASCII.
std::string HeaderText(std::string text, const TPostInfo& post) {
    if (post.TargetSlot == kNoSlot) return text;
    EncodeBuffer(SlotTableCode(post.TargetSlot), text.data(), static_cast<int>(text.size()));
    if (text.empty() || (post.Base64 != 1 && !HasEightBitBytes(text))) return text;
    return FormatText("=?%s?B?%s?=", {SlotName(post.TargetSlot), Base64Encode(text)});
}

}  // namespace

std::string AuthorHeaderLines(const TAccountOptions& account, const TPostInfo& post) {
    const std::string name = HeaderText(account.FromName, post);
    std::string lines = FormatText("From: %s <%s>\r\n", {name, account.FromAddr});
    lines += FormatText("Reply-To: %s <%s>\r\n", {name, account.ReplyTo});
    lines += FormatText("Organization: %s\r\n", {HeaderText(account.Organization, post)});
    lines += FormatText("Subject: %s\r\n", {HeaderText(post.Subject, post)});
    return lines;
}

int ComposeHeaders(const TAccountOptions& account, const std::string& newsgroups,
                   const TStringList& groups, TPostInfo& post, TStream& headers) {
    post.TargetSlot = account.CharTable;
    headers.SetSize(0);
    const int outcome = PostDialog(newsgroups, groups, post, headers, platform::NowSystemTime());
    if (headers.Size() > 0) {
        headers.Seek(0, SeekOrigin::End);
        headers.WriteText(AuthorHeaderLines(account, post));
    }
    return outcome;
}

}  // namespace kestrova

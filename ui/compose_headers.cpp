// ComposeHeaders: the posting dialog's lines followed by the author lines of the account.
#include <algorithm>

#include "common/format_text.h"
#include "platform/clock.h"
#include "ui/composition.h"
#include "ui/encoded_words.h"
#include "ui/sender_address.h"

namespace kestrova {
namespace {

// text in the sending set, control characters (DEL too) made spaces, as encoded words when
// Base64 is chosen or it is not plain ASCII.
std::string HeaderText(std::string text, const TPostInfo& post) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < ' ' || c == 127; }, ' ');
    const std::string charset = SendingCharset(post.TargetSlot);
    if (text.empty() || charset.empty()) return text;
    std::string encoded;
    char32_t missing = 0;
    if (!EncodeHeaderText(text, charset, post.Base64 == 1, encoded, missing))
        RaiseCannotEncode(missing, charset);
    return encoded;
}

// The characters that RFC 5322 lets a display name hold only inside quotes.
bool NeedsQuotes(const std::string& name) {
    return name.find_first_of("()<>[]:;@\\,.\"") != std::string::npos;
}

// "name <address>", the name quoted when it needs it; "<address>" without a name.
std::string Mailbox(const std::string& name, const std::string& address) {
    if (name.empty()) return "<" + address + ">";
    if (!NeedsQuotes(name)) return name + " <" + address + ">";
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\" <" + address + ">";
}

}  // namespace

std::string AuthorHeaderLines(const TAccountOptions& account, const TPostInfo& post) {
    const std::string name = HeaderText(account.FromName, post);
    std::string lines = "From: " + Mailbox(name, account.FromAddr) + "\r\n";
    if (!account.ReplyTo.empty()) lines += "Reply-To: " + Mailbox(name, account.ReplyTo) + "\r\n";
    if (!account.Organization.empty())
        lines += "Organization: " + HeaderText(account.Organization, post) + "\r\n";
    lines += "Subject: " + HeaderText(post.Subject, post) + "\r\n";
    return lines;
}

std::string ThreadHeaderLines(const TPostInfo& post) {
    return post.References.empty() ? std::string() : "References: " + post.References + "\r\n";
}

int ComposeHeaders(TAccountOptions& account, const std::string& newsgroups,
                   const TStringList& groups, TPostInfo& post, TStream& headers) {
    post.TargetSlot = account.CharTable;
    headers.SetSize(0);
    const int outcome = PostDialog(newsgroups, groups, post, headers, platform::NowSystemTime());
    if (headers.Size() > 0 && !EnsureSenderAddress(account)) {
        headers.SetSize(0);
        return kPostCancel;
    }
    if (headers.Size() > 0) {
        headers.Seek(0, SeekOrigin::End);
        headers.WriteText(AuthorHeaderLines(account, post) + ThreadHeaderLines(post));
    }
    return outcome;
}

}  // namespace kestrova

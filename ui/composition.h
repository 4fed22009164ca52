// Composing an article for posting: the posting dialog, the header lines it and the account
// give, and the body made from the text (converted between character sets, Base64 on request).
// Every header line ends with CR LF; the headers hold no empty line.
#pragma once

#include <memory>
#include <string>

#include "common/streams.h"
#include "common/string_list.h"
#include "hostapi/plugin_api.h"
#include "ui/account_options.h"
#include "ui/post_info.h"

namespace kestrova {

// "Date: Sun, 06 Dec 2026 04:09:03 +0000" for utc (RFC 5322), without the line end.
std::string DateHeaderLine(const SYSTEMTIME& utc);

// Asks the posting questions: newsgroups (groups offers a menu to pick from), subject, format
// and the two character sets. Base64 and SourceSlot start at 0 and kNoSlot. For kPostComposed
// and kPostSave it writes Date, Newsgroups, X-Mailer, MIME-Version, Content-Type (with the sending
// charset) and Content-Transfer-Encoding into headers (Date from now, UTC) and copies the subject
// into post. Returns the outcome.
int PostDialog(const std::string& newsgroups, const TStringList& groups, TPostInfo& post,
               TStream& headers, const SYSTEMTIME& now);

// Sets post's TargetSlot to the account's table, empties headers, runs PostDialog and, when it
// wrote headers, makes sure the account has an e-mail address (ui/sender_address.h; cancelling
// there cancels the post) and appends the author lines and the thread line. Returns the outcome.
int ComposeHeaders(TAccountOptions& account, const std::string& newsgroups,
                   const TStringList& groups, TPostInfo& post, TStream& headers);

// The author lines of ComposeHeaders for post (whose dialog answers are in place): From,
// Reply-To (only when the account has one), Organization (only when not empty) and Subject.
// Name, organization and subject are written in the sending set, control characters (DEL too)
// made spaces; with Base64, and whenever a text holds a character beyond ASCII (servers refuse
// raw 8-bit headers), a non-empty text is written as encoded words ("=?charset?B?...?=", folded),
// never the address. A name holding characters that RFC 5322 allows only in quotes is quoted.
// Raises ECharsetError when the set cannot hold a character.
std::string AuthorHeaderLines(const TAccountOptions& account, const TPostInfo& post);

// "References: ..." of a reply, none for a new article.
std::string ThreadHeaderLines(const TPostInfo& post);

// The body of the text in file: none when the file itself is the body (no conversion, no
// Base64); otherwise the text converted from SourceSlot to TargetSlot, the Base64 text of each 60
// bytes on a line of its own when Base64 is 1. Raises the stream errors, and ECharsetError when
// the target set cannot hold a character of the text.
std::unique_ptr<TMemoryStream> BuildBody(TStream& file, const TPostInfo& post);

}  // namespace kestrova

// What a reply takes from the article it answers: the thread (References), the subject with one
// "Re: ", and the groups it goes to (Followup-To, else Newsgroups, crossposts kept). The parent's
// header comes from a server and is read defensively: bounded, identifiers and group names
// checked, control characters made harmless.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// The longest header line a post may hold (RFC 5322), its CR LF not counted.
inline constexpr size_t kHeaderLineLimit = 998;

// The parent's fields a reply needs, each unfolded and trimmed; empty when absent.
struct TParentHeaders {
    std::string MessageId;
    std::string References;
    std::string Newsgroups;
    std::string FollowupTo;
};

// Reads the header of an article's text (lines ended by CR LF or LF, up to the first empty line;
// at most the first kParentHeaderLimit bytes are looked at).
inline constexpr size_t kParentHeaderLimit = 64 * 1024;
TParentHeaders ReadParentHeaders(std::string_view article);

// Splits an article's text after the empty line that ends its header; the whole text is the
// header when it has no empty line.
std::string_view ArticleBodyOf(std::string_view article);

// "Re: " and subject without its own leading reply marks ("Re:", "RE:", "Re[2]:", repeated);
// control characters (DEL too) become spaces.
std::string ReplySubject(std::string_view subject);

// The References value of a reply: the parent's well-formed identifiers, then the parent's own.
// When "References: " and the value would pass kHeaderLineLimit, identifiers are dropped from the
// second on, keeping the first and the last three (RFC 5537, 3.4.4). Empty when the parent has no
// well-formed Message-ID.
std::string ReplyReferences(const TParentHeaders& parent);

// Where the reply goes: the parent's Followup-To when it names groups, else its Newsgroups;
// group names joined by "," without blanks, names that are not well formed left out. Empty when
// there is no valid group.
std::string ReplyNewsgroups(const TParentHeaders& parent);

// The parent's author asked for replies by mail (Followup-To: poster).
bool WantsMailReply(const TParentHeaders& parent);

// "<local@domain>" of printable ASCII without blanks, "<" or ">" inside, at most 250 octets.
bool IsWellFormedMessageId(std::string_view id);

}  // namespace kestrova

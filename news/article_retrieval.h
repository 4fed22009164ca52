// Fetching the text of one article into a stream: the whole article, its header or its body, as
// the server sent it (data lines un-stuffed, each ended by CR LF; a NUL or a lone CR kept in its
// line; nothing decoded).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {

class TNntpConnection;
struct TArticleHeader;
class TStream;

// Which article to fetch: its number in the current group, or, when the number is unknown (0:
// the article was found by its identifier on a server that gave no Xref), its identifier. A
// negative number asks for the server's current article.
struct TArticleRef {
    int32_t Number = -1;
    std::string MessageId;
};

// The article of a group's panel item: its user data as number, its description as identifier.
TArticleRef ArticleRefOf(const PluginPanelItem& item);

// The argument of ARTICLE, HEAD or BODY for article: the number in decimal when it is above 0,
// the identifier when the number is 0, nothing for a negative number (the current article).
// Raises EInternetError (item failure, "GetArticle") for number 0 without a well-formed
// identifier ("<...>" without blanks or control characters), so that nothing else is sent.
std::string ArticleArgument(const TArticleRef& article);

// Sends command ("ARTICLE", "HEAD" or "BODY") for article and, when the reply announces data
// (below 300), writes each data line followed by CR LF into stream; the terminating "." line is
// not written. One progress event (kind 7, one unit) per line of the body: from the first data
// line for BODY, from the empty line that ends the header (counted) for ARTICLE and HEAD.
// Lines received before a failure are in stream. Raises EInternetError ("SendCommand") for an
// error status, EInternetError (item failure, "GetArticle", the connection closed) for an
// article past the connection options' size limit, ESocketError ("GetArticle") when the connection
// ends inside the data, the socket's failures, EUserAbort (Esc), and the stream's write failures.
// The same command for the following articles goes out ahead of the replies, up to the pipeline
// depth of commands in all, in their order and up to the first one without a number or a
// well-formed identifier; a later call for one of them reads the reply sent ahead.
// With header given, the header's lines (ARTICLE, HEAD) are applied to it as the HEAD walk applies
// them (THeaderUnfolder). True when the reply brought the article's data.
bool GetArticle(TNntpConnection& connection, const std::string& command, const TArticleRef& article,
                TStream& stream, std::span<const TArticleRef> following = {},
                TArticleHeader* header = nullptr);

}  // namespace kestrova

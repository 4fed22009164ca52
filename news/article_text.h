// An article in the form it travels in: header lines, an empty line, the body; every line ended
// by CR LF (a bare LF becomes CR LF, so text files with LF line ends go out as NNTP needs), and,
// inside the data block of a POST, a line that begins with "." sent with the dot doubled, so
// that a line holding a single "." does not end the article early.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestrova {

class TStream;

// Receives the article in pieces, in order.
using TArticleSink = std::function<void(std::string_view piece)>;

// Writes headers (from its start; may be empty: the body is then a complete article of its
// own) followed by an empty line, then body (from its start), then CR LF when the body does not
// end with a line end. With dotStuffing every line that begins with "." gets a second one.
// Raises the streams' read errors and whatever sink raises.
void WriteArticle(TStream& headers, TStream& body, bool dotStuffing, const TArticleSink& sink);

}  // namespace kestrova

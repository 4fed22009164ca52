#include "news/article_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "common/streams.h"

namespace kestrova {
namespace {

std::string Article(const std::string& headerText, const std::string& bodyText, bool stuffing) {
    TMemoryStream headers, body;
    headers.WriteText(headerText);
    body.WriteText(bodyText);
    std::string out;
    WriteArticle(headers, body, stuffing, [&](std::string_view piece) { out += piece; });
    return out;
}

TEST(ArticleTextTest, LineEndsAndDots) {
    // Headers, body, dot-stuffing, the article sent.
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        // Bare LF becomes CR LF, CR LF stays; a last line without an end gets one.
        {"A: 1\nB: 2\r\n", "x\ny\r\nz", true, "A: 1\r\nB: 2\r\n\r\nx\r\ny\r\nz\r\n"},
        // A line that begins with "." is sent with the dot doubled, so "." alone cannot end
        // the data block; dots inside a line stay.
        {"S: a\r\n", ".\n..x\na.b\n.", true, "S: a\r\n\r\n..\r\n...x\r\na.b\r\n..\r\n"},
        // Saving writes the article itself: no stuffing.
        {"S: a\r\n", ".\n..x\n", false, "S: a\r\n\r\n.\r\n..x\r\n"},
        // No headers: the body is a complete article, no empty line in front of it.
        {"", "From: a\n\nbody", true, "From: a\r\n\r\nbody\r\n"},
        // Headers without a last line end still get one before the empty line.
        {"S: a", "b\r\n", true, "S: a\r\n\r\nb\r\n"},
    };
    for (const auto& [headers, body, stuffing, sent] : cases)
        EXPECT_EQ(Article(headers, body, stuffing), sent) << body;
}

TEST(ArticleTextTest, LineStateCarriesAcrossPieces) {
    // The stream is read in pieces of 61440 bytes; a CR at the end of one piece and a dot at
    // the start of the next are still seen as such.
    const std::string first(61439, 'a');
    const std::string out = Article("", first + "\r\n.x\n", true);
    EXPECT_EQ(out, first + "\r\n..x\r\n");
}

}  // namespace
}  // namespace kestrova

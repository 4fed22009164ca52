// Fetching articles: which article each argument names, and a fetch dropped anywhere.
#include "news/article_retrieval.h"

#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"
#include "common/streams.h"
#include "news/news_session_fixture.h"

namespace kestrova::testing {
namespace {

// Lines that a careless reader takes for the end of the data or for a status line.
const std::string kTrickyArticle =
    "Message-ID: <tricky@test>\r\nSubject: tricky\r\n\r\n"
    ".leading dot\r\n..two dots\r\n.\r\n211 1 1 1 alt.test\r\n\r\nlast\r\n";

using ArticleRetrievalTest = NewsSessionTest;

std::string Text(TMemoryStream& stream) {
    return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

// The number when there is one, none for the current article, else a well-formed identifier
// (an identifier from the network must not smuggle a second command in).
TEST(ArticleArgumentTest, NumberIdentifierOrNothingForTheCurrentOne) {
    EXPECT_EQ(ArticleArgument({2, "<ignored@test>"}), "2");
    EXPECT_EQ(ArticleArgument({-1, "<ignored@test>"}), "");
    EXPECT_EQ(ArticleArgument({0, "<1@test>"}), "<1@test>");
    for (const char* id : {"", "1@test", "<a b@test>", "<1@test>\r\nQUIT", "<>", "<\x7F>"}) {
        EXPECT_THROW(ArticleArgument({0, id}), EInternetError) << id;
    }
}

// ARTICLE dropped after every byte of the server's output: the fetch either comes out whole or
// fails with the lines received so far kept, never cut short in silence, and the retry on a new
// connection gets it whole.
TEST_F(ArticleRetrievalTest, ArticleDroppedAnywhereIsWholeOrReported) {
    const TServerScript whole{
        .replies = {
            Lines({"220 3 <tricky@test>", "Message-ID: <tricky@test>", "Subject: tricky", "",
                   "..leading dot", "...two dots", "..", "211 1 1 1 alt.test", "", "last", "."})}};
    for (size_t drop = 0; drop < whole.OutputSize(); ++drop) {
        SCOPED_TRACE(drop);
        TMemoryStream stream;
        try {
            PlayScripts({{.replies = whole.replies, .dropAfterSent = drop}, whole});
            GetArticle(manager->Connection(), "ARTICLE", {3, ""}, stream);
            EXPECT_EQ(Text(stream), kTrickyArticle);
            continue;
        } catch (const ESocketError&) {
        }
        EXPECT_EQ(kTrickyArticle.substr(0, Text(stream).size()), Text(stream));
        EXPECT_FALSE(manager->IsConnected());
        manager->ConnectHostDef();
        TMemoryStream again;
        GetArticle(manager->Connection(), "ARTICLE", {3, ""}, again);
        EXPECT_EQ(Text(again), kTrickyArticle);
    }
}

}  // namespace
}  // namespace kestrova::testing

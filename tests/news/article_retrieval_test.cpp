// Fetching articles: which article each argument names, and a fetch dropped anywhere.
#include "news/article_retrieval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The saved article keeps every byte the server sent but the dot-stuffing and the line ends: a NUL,
// a lone CR in a header or the body, and CR CR LF. A bare LF is a line end too and becomes CR LF.
TEST_F(ArticleRetrievalTest, ArticleKeepsEveryByteButTheTransportsOwn) {
    using namespace std::string_literals;
    PlayScripts({{.replies = {"220 3 <raw@test>\r\nSubject: a\rb\r\n\r\nNUL\0here\r\n..dot\r\n"
                              "bare lf\nend\r\r\n.\r\n"s,
                              "223 4 <next@test>\r"}}});
    TMemoryStream stream;
    GetArticle(manager->Connection(), "ARTICLE", {3, ""}, stream);
    EXPECT_EQ(Text(stream), "Subject: a\rb\r\n\r\nNUL\0here\r\n.dot\r\nbare lf\r\nend\r\r\n"s);
    // The status line after the article goes by the usual line ends again (a lone CR ends it).
    EXPECT_EQ(manager->Connection().Command("NEXT", kLogCommand).Code, 223);
}

// A reply sent ahead and no longer wanted is skipped to its end, however many lines it holds: the
// next reply read is the next command's.
TEST_F(ArticleRetrievalTest, AReplyAheadNoLongerWantedIsSkippedWhole) {
    std::vector<std::string> longHead = {"221 2 <2@test>"};
    for (int i = 0; i < 150; ++i) longHead.push_back("X-Line-" + std::to_string(i) + ": v");
    longHead.push_back(".");
    PlayScripts({{.replies = {Lines({"221 1 <1@test>", "Subject: one", "."}), Lines(longHead),
                              Lines({"221 3 <3@test>", "Subject: three", "."})}}});
    TMemoryStream one, three;
    const TArticleRef next[] = {{2, ""}};
    GetArticle(manager->Connection(), "HEAD", {1, ""}, one, next);
    GetArticle(manager->Connection(), "HEAD", {3, ""}, three);
    EXPECT_EQ(Text(three), "Subject: three\r\n");
    EXPECT_EQ(Sent("HEAD"), (Names{"HEAD 1", "HEAD 2", "HEAD 3"}));
}

// An endless article stops at the size limit: the connection is dropped (the rest is still on
// its way), the item can be skipped, and what came stays within the limit and one line.
TEST_F(ArticleRetrievalTest, AnArticlePastTheSizeLimitStopsAndDropsTheConnection) {
    Options.Connect.ArticleSizeLimit = 1;
    const std::string line(999, 'x');
    std::string endless = "220 3 <big@test>\r\nSubject: big\r\n\r\n";
    while (endless.size() < (3u << 20)) endless += line + "\r\n";
    PlayScripts({{.replies = {endless + ".\r\n"}}});
    TMemoryStream stream;
    try {
        GetArticle(manager->Connection(), "ARTICLE", {3, ""}, stream);
        FAIL() << "the whole article was taken";
    } catch (const EInternetError& e) {
        EXPECT_NE(e.Code & kItemFailure, 0u);
    }
    EXPECT_GT(stream.Size(), (1 << 20) - 1001);
    EXPECT_LE(stream.Size(), (1 << 20) + 1001);
    EXPECT_FALSE(manager->IsConnected());
}

}  // namespace
}  // namespace kestrova::testing

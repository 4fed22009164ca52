// The articles kept for reading offline: what is found for each command, the size limit with
// the least recently used dropped first, identifiers refused, and the stream that keeps a copy.
#include "news/offline_articles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrova::testing {
namespace {

constexpr const char* kArticle = "Subject: s\r\nMessage-ID: <a@x>\r\n\r\nBody line\r\n";

TEST(OfflineArticlesTest, FindsWhatWasKeptOrCutsItFromTheArticle) {
    const struct {
        const char* Kept;  // the command whose reply was kept
        const char* Asked;
        bool Found;
        std::string Text;
    } cases[] = {
        {"ARTICLE", "ARTICLE", true, kArticle},
        {"ARTICLE", "HEAD", true, "Subject: s\r\nMessage-ID: <a@x>\r\n"},
        {"ARTICLE", "BODY", true, "Body line\r\n"},
        {"BODY", "BODY", true, kArticle},
        {"BODY", "ARTICLE", false, ""},
        {"BODY", "HEAD", false, ""},
        {"HEAD", "BODY", false, ""},
    };
    for (const auto& c : cases) {
        TOfflineArticles articles(1 << 20);
        ASSERT_TRUE(articles.Keep(c.Kept, "<a@x>", kArticle));
        std::string text;
        EXPECT_EQ(articles.Find(c.Asked, "<a@x>", text), c.Found) << c.Kept << " " << c.Asked;
        EXPECT_EQ(text, c.Text) << c.Kept << " " << c.Asked;
        EXPECT_FALSE(articles.Find(c.Asked, "<b@x>", text));
    }
}

TEST(OfflineArticlesTest, RefusesMalformedIdentifiersAndTextsOverTheLimit) {
    for (const char* id : {"", "<>", "a@x", "<a@x", "<a x>", "<a\x01x>", "<a\x7Fx>"}) {
        TOfflineArticles articles(100);
        EXPECT_FALSE(articles.Keep("BODY", id, "text")) << id;
        std::string text;
        EXPECT_FALSE(articles.Find("BODY", id, text)) << id;
    }
    TOfflineArticles articles(10);
    EXPECT_FALSE(articles.Keep("BODY", "<a@x>", std::string(11, 'x')));
    EXPECT_TRUE(articles.Keep("BODY", "<a@x>", std::string(10, 'x')));
    TOfflineArticles none(0);
    EXPECT_FALSE(none.Keep("BODY", "<a@x>", "x"));
}

TEST(OfflineArticlesTest, DropsTheLeastRecentlyUsedBeyondTheLimit) {
    TOfflineArticles articles(100);
    std::string text;
    ASSERT_TRUE(articles.Keep("BODY", "<1@x>", std::string(40, '1')));
    ASSERT_TRUE(articles.Keep("BODY", "<2@x>", std::string(40, '2')));
    ASSERT_TRUE(articles.Find("BODY", "<1@x>", text));  // used: <2@x> is now the oldest
    ASSERT_TRUE(articles.Keep("BODY", "<3@x>", std::string(40, '3')));
    EXPECT_TRUE(articles.Find("BODY", "<1@x>", text));
    EXPECT_FALSE(articles.Find("BODY", "<2@x>", text));
    EXPECT_TRUE(articles.Find("BODY", "<3@x>", text));
    ASSERT_TRUE(articles.Keep("BODY", "<3@x>", std::string(20, '3')));  // replaced, not added
    EXPECT_TRUE(articles.Find("BODY", "<1@x>", text));
}

TEST(CopyingStreamTest, KeepsACopyUpToItsLimit) {
    const struct {
        std::vector<std::string> Writes;
        bool Seek;
        bool Complete;
    } cases[] = {
        {{"abc", "def"}, false, true},
        {{"abcdefgh"}, false, true},
        {{"abcdefgh", "i"}, false, false},
        {{"abc"}, true, false},
    };
    for (const auto& c : cases) {
        TMemoryStream target;
        TCopyingStream copy(target, 8);
        std::string all;
        for (const std::string& w : c.Writes) {
            copy.WriteText(w);
            all += w;
        }
        if (c.Seek) copy.SetPosition(0);
        EXPECT_EQ(copy.Complete(), c.Complete) << all;
        EXPECT_EQ(copy.Copy(), c.Complete ? all : "") << all;
        EXPECT_EQ(target.ReadText(), all);
    }
}

}  // namespace
}  // namespace kestrova::testing

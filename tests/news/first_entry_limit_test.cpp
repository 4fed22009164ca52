// A large group's first entry: only the newest "Headers on first entry" articles, by overview and
// by HEAD, the title saying so; F7 lists the older ones a block at a time, Esc keeps what came, and
// the cache keeps the partial index for later visits.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "news/news_session_fixture.h"
#include "ui/message_numbers.h"

namespace kestrova::testing {
namespace {

using Numbers = std::vector<int>;

constexpr int kLimit = 3;

Numbers Range(int first, int last) {
    Numbers numbers;
    for (int n = first; n <= last; ++n) numbers.push_back(n);
    return numbers;
}

class FirstEntryLimitTest : public NewsSessionTest, public ::testing::WithParamInterface<bool> {
  protected:
    FirstEntryLimitTest() {
        host.texts[kMsgNewestOfCount] = "newest %d of %d";
        Options.Connect.HeadersOnFirstEntry = kLimit;
        Options.Connect.UseOverview = 1;
    }
    bool Overview() const { return GetParam(); }
    // The test group of count articles on a server with the overview (the test's parameter) or
    // without, and a session inside the group. The articles arrived long ago: NEWNEWS since a
    // visit in the same second as their arrival would list the ones left out as new.
    void Start(int count) {
        for (int n = 1; n <= count; ++n) {
            server.AddArticle(kTestGroup, n,
                              ArticleText(n, "Date: Tue, 02 Jan 2024 10:00:00 +0000\r\n"));
        }
        server.Start(Overview() ? Names{"--capabilities"} : Names{});
        Connect();
    }
    // A new session (the cache read from the account's file) inside the group.
    void Connect() {
        ConnectNew(Account());
        Enter();
    }
    // The article numbers listed, in order; each listed once is checked by the caller.
    Numbers Listed() {
        Numbers numbers;
        for (const std::string& item : List().numbered) numbers.push_back(std::stoi(item));
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }
    // The commands that ask for articles (OVER, HEAD) sent since the last call.
    Names Asked() {
        Names asked;
        const Names all = Sent();
        for (size_t i = seen_; i < all.size(); ++i) {
            if (all[i].starts_with("OVER") || all[i].starts_with("HEAD")) asked.push_back(all[i]);
        }
        seen_ = all.size();
        return asked;
    }
    // What the asking for numbers first to last sends, the newest first when newestFirst.
    Names AskedFor(int first, int last, bool newestFirst) const {
        if (Overview()) return {"OVER " + std::to_string(first) + "-" + std::to_string(last)};
        Names heads;
        for (int n = first; n <= last; ++n) heads.push_back("HEAD " + std::to_string(n));
        if (newestFirst) std::reverse(heads.begin(), heads.end());
        return heads;
    }

  private:
    size_t seen_ = 0;
};

// The newest three of seven on the first entry, then two blocks of older ones; a later visit asks
// only for the article that is new.
TEST_P(FirstEntryLimitTest, FirstEntryListsTheNewestAndF7TheOlderOnes) {
    Start(7);
    EXPECT_EQ(Listed(), Range(5, 7));
    EXPECT_EQ(Asked(), AskedFor(5, 7, false));
    EXPECT_EQ(manager->TitleNote(), "newest 3 of 7");

    const std::tuple<Numbers, Names, std::string> blocks[] = {
        {Range(2, 7), AskedFor(2, 4, true), "newest 6 of 7"},
        {Range(1, 7), AskedFor(1, 1, true), ""},
    };
    for (const auto& [listed, asked, note] : blocks) {
        ASSERT_TRUE(Key(VK_F7, 0));
        EXPECT_EQ(Listed(), listed);
        EXPECT_EQ(Asked(), asked);
        EXPECT_EQ(manager->TitleNote(), note);
    }
    Key(VK_F7, 0);  // nothing is left out: the listing asks for nothing
    EXPECT_EQ(Listed(), Range(1, 7));
    EXPECT_EQ(Asked(), Names{});

    PostMeanwhile("new");
    ReEnter();
    EXPECT_EQ(Listed(), Range(1, 8));
    const Names asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].substr(0, Overview() ? 8 : 6), Overview() ? "OVER 8-8" : "HEAD <");
}

// A later session finds the partial index in the cache and asks for nothing old; Esc in the middle
// of a block of older articles keeps what came, and F7 goes on until every article is listed once.
TEST_P(FirstEntryLimitTest, PartialIndexOutlivesTheSessionAndEscKeepsWhatCame) {
    Start(10);
    EXPECT_EQ(Listed(), Range(8, 10));
    Connect();
    Asked();
    EXPECT_EQ(Listed(), Range(8, 10));
    EXPECT_EQ(Asked(), Names{});
    EXPECT_EQ(manager->TitleNote(), "newest 3 of 10");

    int progress = 0;
    manager->OnEvent = [&](int kind, intptr_t, intptr_t) -> int {
        // The three cached records, then two older ones: Esc.
        if (kind == kEventProgress && ++progress == 5)
            throw EUserAbort(kItemFailure, "", "ReceiveData");
        return 0;
    };
    ASSERT_TRUE(Key(VK_F7, 0));
    EXPECT_THROW(List(), EUserAbort);
    manager->OnEvent = nullptr;
    manager->Connection().Close();  // as after every Esc: the next request connects again
    manager->ConnectHostDef();
    const Numbers kept = Listed();
    EXPECT_EQ(kept.size(), 5u);
    EXPECT_EQ(Numbers(kept.end() - 3, kept.end()), Range(8, 10));

    for (int presses = 0; presses < 5 && Key(VK_F7, 0); ++presses) Listed();
    EXPECT_EQ(Listed(), Range(1, 10));
    EXPECT_EQ(manager->TitleNote(), "");
}

INSTANTIATE_TEST_SUITE_P(OverviewAndHead, FirstEntryLimitTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Overview" : "Head"; });

}  // namespace
}  // namespace kestrova::testing

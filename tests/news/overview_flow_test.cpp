// Reading what a modern server offers: reader mode on a transit server, a group listed by OVER in
// chunks (the walk's index), and new articles shown by Ctrl-R inside the group.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/streams.h"
#include "news/news_session_fixture.h"

namespace kestrova::testing {
namespace {

class OverviewFlowTest : public NewsSessionTest {
  protected:
    // A fresh server with options, and a manager connected to it with an empty cache.
    void Reconnect(const std::vector<std::string>& options) {
        Restart(options);
        ConnectNew(Account());
        manager->Cache().Blocks().Clear();
    }
};

// MODE READER goes first when the list names MODE-READER, the list is asked for again; a
// server without a list gets it after a 401 naming it, and the refused command again.
TEST_F(OverviewFlowTest, TransitServerReadsAfterModeReader) {
    const std::tuple<std::vector<std::string>, Names> cases[] = {
        {{"--transit", "--capabilities"},
         {"CAPABILITIES", "MODE READER", "CAPABILITIES", "GROUP alt.test", "LIST OVERVIEW.FMT",
          "OVER 1-2"}},
        {{"--transit"},
         {"CAPABILITIES", "GROUP alt.test", "MODE READER", "GROUP alt.test", "HEAD", "NEXT"}},
    };
    for (const auto& [options, sent] : cases) {
        SCOPED_TRACE(options.size());
        Reconnect(options);
        Enter();
        EXPECT_EQ(List().numbered, (Names{"1 first", "2 second"}));
        const Names all = Sent();
        EXPECT_EQ(Names(all.begin(), all.begin() + std::min(all.size(), sent.size())), sent);
        EXPECT_EQ(Sent("MODE").size(), 1u);
    }
}

// The overview gives the walk's index, asked in chunks of 1000 numbers whose edges hold articles.
TEST_F(OverviewFlowTest, OverviewInChunksGivesTheIndexOfTheWalk) {
    for (int n : {999, 1000, 1001, 2001})
        server.AddArticle(kTestGroup, n, ArticleText(n, "Lines: 1\r\n"));
    const Names index{"1 first",           "2 second",          "999 article 999",
                      "1000 article 1000", "1001 article 1001", "2001 article 2001"};
    for (const int overview : {1, 0}) {
        SCOPED_TRACE(overview);
        Options.Connect.UseOverview = overview;
        Reconnect({"--capabilities"});
        Enter();
        EXPECT_EQ(List().numbered, index);
        const Names chunks{"OVER 1-1000", "OVER 1001-2000", "OVER 2001-2001"};
        EXPECT_EQ(Sent("OVER"), overview ? chunks : Names{});
        EXPECT_EQ(Sent("NEXT").empty(), overview == 1);
    }
}

// Overview lines repeated, or numbered outside the chunk asked for, are left out: an endless
// overview of one article holds one record.
TEST_F(OverviewFlowTest, RepeatedOrStrayOverviewLinesAreTakenOnce) {
    const std::string second = R"("2\tsecond\tA <a@x>\t\t<2@x>\t\t9\t1")";
    const std::string stray = R"("3\tstray\tA <a@x>\t\t<3@x>\t\t9\t1")";
    server.SetControls(R"({"capabilities": true, "rules": [{"command": "OVER",
        "reply": "224 overview", "data": [)" +
                       second + "," + second + "," + stray + "," + second + "]}]}");
    Reconnect({});
    Enter();
    EXPECT_EQ(List().numbered, (Names{"2 second"}));
}

// A server whose list names LIST OVERVIEW.FMT but not OVER is listed by XOVER; one whose list
// names neither is walked, as is one without a list.
TEST_F(OverviewFlowTest, XoverWhereTheListNamesTheFormatButNotOver) {
    const auto controls = [](const char* listed) {
        return std::string(R"({"capabilities": true, "rules": [{"command": "CAPABILITIES",
            "reply": "101 list", "data": ["VERSION 2", "READER", ")") +
               listed + R"("]}, {"command": "OVER", "reply": "500 unknown"}]})";
    };
    const std::tuple<std::string, Names, bool> cases[] = {
        {controls("LIST ACTIVE OVERVIEW.FMT"), {"XOVER 1-2"}, false},
        {controls("LIST ACTIVE"), {}, true},
    };
    for (const auto& [json, over, walked] : cases) {
        SCOPED_TRACE(json);
        server.SetControls(json);
        Reconnect({});
        Enter();
        EXPECT_EQ(List().numbered, (Names{"1 first", "2 second"}));
        EXPECT_EQ(Sent("XOVER"), over);
        EXPECT_EQ(Sent("OVER").size(), 0u);
        EXPECT_EQ(Sent("NEXT").empty(), !walked);
    }
}

// An article posted while the group is open: Ctrl-R lists it, by OVER of the new numbers where
// the server offers it, else by NEWNEWS (the spool keeps the first round's post).
TEST_F(OverviewFlowTest, CtrlRShowsArticlesPostedMeanwhile) {
    for (const bool modern : {true, false}) {
        SCOPED_TRACE(modern);
        Reconnect(modern ? Names{"--capabilities"} : Names{});
        Enter();
        Names listed = List().numbered;
        PostMeanwhile("meanwhile");
        ASSERT_TRUE(Key('R', PKF_CONTROL));
        listed.push_back(std::to_string(listed.size() + 1) + " meanwhile");
        EXPECT_EQ(List().numbered, listed);
        const Names over{"OVER 1-2", "OVER 3-3"};
        EXPECT_EQ(Sent("OVER"), modern ? over : Names{});
        EXPECT_EQ(Sent("NEWNEWS").size(), modern ? 0u : 1u);
    }
}

}  // namespace
}  // namespace kestrova::testing

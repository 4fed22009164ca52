// The article index: the walk, refresh, re-entry with NEWNEWS or by number, vanished articles,
// a failed NEWNEWS, hostile ranges, pipelined walks and walks dropped anywhere.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "news/article_index.h"
#include "news/list_block.h"
#include "news/news_session_fixture.h"
#include "platform/port_process.h"

namespace kestrova::testing {
namespace {

class ArticleIndexFlowTest : public NewsSessionTest {
  protected:
    TListBlock Index() {
        TListBlock index(TArticleHeader::kSize);
        std::vector<char> bytes;
        if (manager->Cache().Blocks().Get(kTestGroup, bytes)) {
            EXPECT_TRUE(index.Assign(bytes));
        }
        return index;
    }
    // The scripted server's reply to HEAD of article n (number 0: asked for by identifier).
    static std::string Head(int n, int number = -1, const std::string& extra = "Lines: 1") {
        const std::string id = "<" + std::to_string(n) + "@test>";
        return Lines({"221 " + std::to_string(number < 0 ? n : number) + " " + id,
                      "Message-ID: " + id, "Subject: article " + std::to_string(n), extra, "."});
    }
};

// The first walk, a reread from the cache (its index keeps its age), Ctrl-R reading every header
// again by identifier (the numbers stay) and asking NEWNEWS, and a re-entry asking NEWNEWS for the
// new one only.
TEST_F(ArticleIndexFlowTest, WalkRefreshAndReEntryAskOnlyWhatIsNew) {
    PlayScripts({{.replies = {"211 2 1 2 alt.test", Head(1), "223 2 <2@test>", Head(2),
                              "421 no next", Head(1, 0), Head(2, 0), Lines({"230 new", "."}),
                              "211 3 1 3 alt.test", Lines({"230 new", "<3@test>", "<2@test>", "."}),
                              Head(3, 0, "Xref: x alt.test:3")}}});
    Enter();
    EXPECT_EQ(List().numbered, (Names{"1 article 1", "2 article 2"}));
    const double stored = manager->Cache().Blocks().Entries().back().Stamp;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    List();
    EXPECT_EQ(manager->Cache().Blocks().Entries().back().Stamp, stored)
        << "an unchanged index kept its age";
    ASSERT_TRUE(Key('R', PKF_CONTROL));
    EXPECT_EQ(List().numbered, (Names{"1 article 1", "2 article 2"}));
    List();  // the marks are gone
    ReEnter();
    EXPECT_EQ(List().numbered, (Names{"1 article 1", "2 article 2", "3 article 3"}));  // Xref
    EXPECT_EQ(Sent("HEAD <"), (Names{"HEAD <1@test>", "HEAD <2@test>", "HEAD <3@test>"}));
    EXPECT_EQ(Sent("NEXT").size(), 2u);
    // The stamp is UTC: NEWNEWS asks since a moment ago in any time zone.
    std::tm since{};
    ASSERT_TRUE(
        strptime(Sent("NEWNEWS").at(0).c_str(), "NEWNEWS alt.test %y%m%d %H%M%S GMT", &since));
    EXPECT_LT(std::abs(std::difftime(std::time(nullptr), timegm(&since))), 300);
}

// NEWNEWS failed, or dropped while the new headers are read: the articles read so far are kept
// and the stamp stays, so the next NEWNEWS asks again.
TEST_F(ArticleIndexFlowTest, FailedNewNewsKeepsTheStamp) {
    const std::string group = "211 1 1 1 alt.test";
    const std::string newNews = Lines({"230 new", "<2@test>", "<3@test>", "."});
    Options.Connect.PipelineDepth = 1;  // the script answers one command at a time
    for (const std::string& failure : {std::string("403 internal fault"), newNews}) {
        TServerScript script{.replies = {group, Head(1), "421 no next", group, failure}};
        if (failure == newNews) script.replies.push_back(Head(2));  // none to HEAD <3@test>
        PlayScripts({script});
        manager->Cache().Blocks().Clear();
        Enter();
        List();
        TListBlock index = Index();
        const SYSTEMTIME old{2001, 2, 0, 3, 4, 5, 6, 0};
        index.SetStamp(old);
        manager->Cache().Blocks().Put(kTestGroup, std::move(index).TakeBytes(), false);
        ReEnter();
        EXPECT_ANY_THROW(List());
        EXPECT_EQ(Index().Count(), failure == newNews ? 2u : 1u);
        const SYSTEMTIME kept = Index().Stamp();
        EXPECT_EQ(std::memcmp(&kept, &old, sizeof old), 0) << kept.wYear << " " << failure;
    }
}

// Asked by number, a hostile GROUP range is cut to its last kMaxListRecords numbers.
TEST_F(ArticleIndexFlowTest, ArticlesAskedByNumberAreBoundedByTheListLimit) {
    const std::string group = "211 2 1 9223372036854775807 alt.test";
    Options.Connect.PipelineDepth = 1;  // the script answers one command at a time
    PlayScripts({{.replies = {group, Head(1), "421 no next", group, "502 no NEWNEWS",
                              "423 no such article"}}});
    Enter();
    List();
    ReEnter();
    EXPECT_THROW(List(), ESocketError);  // the script ends after the first two numbers
    EXPECT_EQ(Sent("HEAD ").at(0), "HEAD " + std::to_string(INT64_MAX - (kMaxListRecords - 1)));
}

// The walk at depths 1, 2 and 64 through the latency proxy (5 ms each way) and a group with gaps
// and a 423 inside the window: the same index each time, commands sent ahead only when
// pipelined, every reply past the end read.
TEST_F(ArticleIndexFlowTest, PipelinedWalksGiveTheIndexOfTheLockstepWalk) {
    for (int n : {4, 6}) server.AddArticle(kTestGroup, n, ArticleText(n));
    for (int depth : {1, 2, 64}) {
        SCOPED_TRACE(depth);
        Options.Connect.PipelineDepth = depth;
        // The server's own delay lets the commands sent ahead arrive before it answers, so that
        // its log shows them waiting however the proxy's chunks fall.
        server.SetControls(
            R"({"delay_ms": 10, "rules": [{"command": "HEAD", "nth": 2, "reply": "423 gone"}]})");
        Restart();
        const PortProcess proxy({ProgramFolder() + "/latency_proxy", "--to",
                                 "127.0.0.1:" + std::to_string(server.Port()), "--delay-ms", "5"});
        ConnectNew(Account(proxy.Port()));
        manager->Cache().Blocks().Clear();
        Enter();
        EXPECT_EQ(List().numbered, (Names{"1 first", "4 article 4", "6 article 6"}));
        EXPECT_EQ(server.Log().find("more commands waiting") != std::string::npos, depth > 1);
        EXPECT_EQ(manager->Connection().CommandsAhead(), 0u);
        ReEnter();  // the re-entry may ask again for the article that was missing
        EXPECT_GE(List().names.size(), 3u);
        EXPECT_EQ(Sent("NEWNEWS").size(), 1u);
        manager.reset();
    }
}

// A pipelined walk dropped at any byte: the retry completes the index, each article once with
// its number.
TEST_F(ArticleIndexFlowTest, WalkDroppedAtAnyByteIsCompletedByTheRetry) {
    for (int n : {4, 5, 7}) server.AddArticle(kTestGroup, n, ArticleText(n));
    server.SetControls("{}");
    server.Start();
    int connection = 1;
    for (int offset = 60; offset < 700; offset += 5, connection += 2) {
        SCOPED_TRACE(offset);
        server.SetControls(R"({"drop_after_bytes": )" + std::to_string(offset) +
                           R"(, "drop_connections": [)" + std::to_string(connection) + "]}");
        try {
            ConnectNew(Account());
            manager->Cache().Blocks().Clear();
            Enter();
            List();
        } catch (const Exception&) {
            // dropped: the retry below goes on
        }
        manager->ConnectHostDef();
        if (manager->State() != NewsState::InGroup) Enter();
        EXPECT_EQ(List().numbered,
                  (Names{"1 first", "2 second", "4 article 4", "5 article 5", "7 article 7"}));
        EXPECT_EQ(manager->Connection().CommandsAhead(),
                  0u);  // nothing of the dropped connection is awaited
    }
}

// NEWNEWS refused (also with 480 when no login is needed): the numbers after the highest one
// indexed are asked for and a missing one (any of the three replies) skipped. NEWNEWS asked once
// in the session is the conformance test's.
TEST_F(ArticleIndexFlowTest, RefusedNewNewsFallsBackToTheNumbersAfterTheIndex) {
    const std::pair<const char*, const char*> cases[] = {
        {"502 NEWNEWS disabled", "423 No such number"},
        {"500 Unknown command", "420 No current article"},
        {"480 NEWNEWS command disabled by administrator", "430 No such id"}};
    for (const auto& [reply, vanished] : cases) {
        SCOPED_TRACE(reply);
        PlayScripts(
            {{.replies = {"211 2 1 2 alt.test", Head(1), "223 2 <2@test>", Head(2), "421 no next",
                          "211 4 1 5 alt.test", reply, Head(3), vanished, Head(5)}}});
        manager->Cache().Blocks().Clear();
        Enter();
        List();
        ReEnter();
        EXPECT_EQ(List().numbered,
                  (Names{"1 article 1", "2 article 2", "3 article 3", "5 article 5"}));
        EXPECT_EQ(Sent("HEAD "), (Names{"HEAD 3", "HEAD 4", "HEAD 5"}));
    }
}

}  // namespace
}  // namespace kestrova::testing

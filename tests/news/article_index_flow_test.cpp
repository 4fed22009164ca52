// The article index against the fixture news server: the first walk, re-entering with NEWNEWS
// only, refresh, vanished articles, a walk cut short and completed later, a failed or refused
// NEWNEWS and the reload.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "news/article_index.h"
#include "news/list_block.h"
#include "news/news_listing_fixture.h"
#include "news/scripted_socket.h"

namespace kestrova::testing {
namespace {

using Names = std::vector<std::string>;

class ArticleIndexFlowTest : public NewsListingTest {
  protected:
    void Enter() {
        manager->SetDirectory(kTestGroup);
        ASSERT_EQ(manager->State, NewsState::InGroup);
    }
    void ReEnter() {
        manager->SetDirectory("..");
        Enter();
    }
    void Restart() {
        server.Stop();
        server.Start();
        manager->Account.Url.Port = server.Port();
        manager->ConnectHostDef();
    }
    uint32_t IndexedCount() {
        TListBlock index(TArticleHeader::kSize);
        std::vector<char> bytes;
        if (!manager->Cache->Get(kTestGroup, bytes) || !index.Assign(bytes)) return 0;
        return index.Count();
    }
    SYSTEMTIME IndexStamp() {
        TListBlock index(TArticleHeader::kSize);
        std::vector<char> bytes;
        EXPECT_TRUE(manager->Cache->Get(kTestGroup, bytes));
        EXPECT_TRUE(index.Assign(bytes));
        return index.Stamp();
    }
    // The scripted server's reply to HEAD of article n.
    static std::string Head(int n) {
        const std::string id = "<" + std::to_string(n) + "@test>";
        return Lines({"221 " + std::to_string(n) + " " + id, "Message-ID: " + id,
                      "Subject: article " + std::to_string(n), "."});
    }
    static std::string Article(int n, const std::string& extra = "") {
        const std::string id = std::to_string(n);
        return "Message-ID: <" + id + "@test>\r\nSubject: article " + id + "\r\n" + extra +
               "\r\nbody\r\n";
    }
};

TEST_F(ArticleIndexFlowTest, FirstEntryWalksTheGroupAndStoresTheIndex) {
    Open();
    Enter();
    const Listing listing = List();
    EXPECT_EQ(server.ClientCommands(), (Names{"GROUP alt.test", "HEAD", "NEXT", "HEAD", "NEXT"}));
    EXPECT_EQ(listing.names, (Names{"first", "second"}));
    EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 2}));
    EXPECT_EQ(IndexedCount(), 2u);
    EXPECT_EQ(manager->UpdateGroup, 0);
    const double stored = manager->Cache->Entries().back().Stamp;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    List();  // a reread asks nothing more
    EXPECT_EQ(server.ClientCommands().size(), 5u);
    EXPECT_EQ(IndexedCount(), 2u);
    EXPECT_EQ(manager->Cache->Entries().back().Stamp, stored) << "an unchanged index kept its age";
}

TEST_F(ArticleIndexFlowTest, ReEnteringAsksOnlyForNewArticles) {
    Open();
    Enter();
    List();
    server.AddArticle(kTestGroup, 3, Article(3, "Xref: fixture alt.test:3\r\n"));
    Restart();
    ReEnter();
    const Listing listing = List();
    EXPECT_EQ(listing.names, (Names{"first", "second", "article 3"}));
    EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 2, 3}));  // from Xref
    const Names all = server.ClientCommands();  // the log goes on over the restart
    ASSERT_EQ(all.size(), 5u + 4u);
    const Names after(all.begin() + 5, all.end());
    EXPECT_EQ(after[0], "GROUP alt.test");  // the reconnect enters the group again
    EXPECT_EQ(after[1], "GROUP alt.test");
    EXPECT_EQ(after[2].rfind("NEWNEWS alt.test ", 0), 0u) << after[2];
    EXPECT_EQ(after[3], "HEAD <3@test>");
    EXPECT_EQ(IndexedCount(), 3u);
}

TEST_F(ArticleIndexFlowTest, RefreshReadsEveryHeaderAgainByIdentifier) {
    Open();
    Enter();
    List();
    TKeyContext context;
    int action = 0;
    ASSERT_TRUE(manager->ProcessKey('R', PKF_CONTROL, context, action));
    const Listing listing = List();
    EXPECT_EQ(CommandsLike("HEAD <"), (Names{"HEAD <1@test>", "HEAD <2@test>"}));
    EXPECT_TRUE(CommandsLike("NEXT").size() == 2);               // only those of the first walk
    EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 2}));  // the numbers stay
    List();
    EXPECT_EQ(CommandsLike("HEAD <").size(), 2u);  // the marks are gone
}

TEST_F(ArticleIndexFlowTest, VanishedArticlesAreSkippedSilently) {
    for (const char* reply :
         {"423 No such article number 2", "420 No current article", "430 No such article"}) {
        server.Stop();
        server.SetControls(std::string(R"({"rules": [{"command": "HEAD", "nth": 2, "reply": ")") +
                           reply + "\"}]}");
        Open();
        manager->Cache->Clear();
        Enter();
        EXPECT_EQ(List().names, Names{"first"}) << reply;
        manager.reset();
    }
}

// A walk cut short is stored, and the retry goes on by number, so that the articles keep their
// numbers also from a server that sends no Xref.
TEST_F(ArticleIndexFlowTest, WalkCutShortIsStoredAndCompletedByTheRetry) {
    const std::string group = Lines({"211 3 1 3 alt.test"});
    TScriptedServer scripted({{.replies = {group, Head(1)}},  // no reply to NEXT: dropped
                              {.replies = {group, Head(2), Head(3)}}});
    Options.Connect.PipelineDepth = 1;  // the script answers one command at a time
    manager = std::make_unique<TScriptedNewsManager>(scripted);
    manager->Connect(Account());
    Enter();
    EXPECT_THROW(List(), ESocketError);
    EXPECT_EQ(lastPartial.names, Names{"article 1"});
    EXPECT_EQ(IndexedCount(), 1u);
    EXPECT_EQ(IndexStamp().wYear, 1970);

    manager->ConnectHostDef();  // what the panel's retry does
    const Listing listing = List();
    EXPECT_EQ(listing.names, (Names{"article 1", "article 2", "article 3"}));
    EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 2, 3}));
    EXPECT_EQ(scripted.Commands(),
              (Names{"GROUP alt.test", "HEAD", "NEXT", "GROUP alt.test", "HEAD 2", "HEAD 3"}));
    EXPECT_GE(IndexStamp().wYear, 2024);
}

// NEWNEWS refused with an error, or the connection lost while the new headers are read: the
// articles read so far are kept, but the stamp stays where it was, so the next NEWNEWS asks again.
TEST_F(ArticleIndexFlowTest, FailedNewNewsKeepsTheStamp) {
    const std::string group = Lines({"211 1 1 1 alt.test"});
    const std::string firstWalk[] = {group, Head(1), "421 no next\r\n", group};
    const std::vector<std::string> failures[] = {
        {"403 internal fault\r\n"},
        {Lines({"230 new", "<2@test>", "<3@test>", "."}), Head(2)},  // no reply to HEAD <3@test>
    };
    Options.Connect.PipelineDepth = 1;  // the script answers one command at a time
    for (const std::vector<std::string>& failure : failures) {
        TServerScript script{.replies = {std::begin(firstWalk), std::end(firstWalk)}};
        script.replies.insert(script.replies.end(), failure.begin(), failure.end());
        TScriptedServer scripted({script});
        manager = std::make_unique<TScriptedNewsManager>(scripted);
        manager->Connect(Account());
        manager->Cache->Clear();
        Enter();
        List();
        TListBlock index(TArticleHeader::kSize);
        std::vector<char> bytes;
        ASSERT_TRUE(manager->Cache->Get(kTestGroup, bytes) && index.Assign(bytes));
        const SYSTEMTIME old{2001, 2, 0, 3, 4, 5, 6, 0};
        index.SetStamp(old);
        manager->Cache->Put(kTestGroup, std::move(index).TakeBytes(), false);

        ReEnter();
        EXPECT_ANY_THROW(List());
        EXPECT_EQ(IndexedCount(), failure.size());
        const SYSTEMTIME kept = IndexStamp();
        EXPECT_EQ(std::memcmp(&kept, &old, sizeof old), 0) << kept.wYear << " " << failure[0];
        manager.reset();
    }
}

// Asked by number, a range as wide as a hostile GROUP reply makes it is cut to its last
// kMaxListRecords numbers.
TEST_F(ArticleIndexFlowTest, ArticlesAskedByNumberAreBoundedByTheListLimit) {
    const std::string group = Lines({"211 2 1 9223372036854775807 alt.test"});
    const std::string head = Lines({"221 1 <1@test>", "Message-ID: <1@test>", "."});
    TScriptedServer scripted({{.replies = {group, head, "421 no next\r\n", group,
                                           "502 no NEWNEWS\r\n", "423 no such article\r\n"}}});
    Options.Connect.PipelineDepth = 1;  // the script answers one command at a time
    manager = std::make_unique<TScriptedNewsManager>(scripted);
    manager->Connect(Account());
    Enter();
    List();
    ReEnter();
    EXPECT_THROW(List(), ESocketError);  // the script ends after the first two numbers
    const Names sent = scripted.Commands();
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[5], "HEAD " + std::to_string(INT64_MAX - (kMaxListRecords - 1)));
}

// The walk at depths 1, 2 and 64 through a group with gaps in its numbers (so that commands go out
// past its end) and a 423 for an article inside the window: the same index each time, commands
// waiting at the server only when sent ahead, and every reply sent past the end read, so that
// the next commands get their own replies.
TEST_F(ArticleIndexFlowTest, PipelinedWalksGiveTheIndexOfTheLockstepWalk) {
    for (int n : {4, 6}) server.AddArticle(kTestGroup, n, Article(n));
    for (int depth : {1, 2, 64}) {
        SCOPED_TRACE(depth);
        Options.Connect.PipelineDepth = depth;
        server.Stop();
        std::filesystem::remove(server.LogFile());
        server.SetControls(
            R"({"delay_ms": 5, "rules": [{"command": "HEAD", "nth": 2, "reply": "423 gone"}]})");
        Open();
        manager->Cache->Clear();
        Enter();
        const Listing listing = List();
        EXPECT_EQ(listing.names, (Names{"first", "article 4", "article 6"}));
        EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 4, 6}));
        EXPECT_EQ(server.Log().find("more commands waiting") != std::string::npos, depth > 1);
        EXPECT_EQ(manager->CommandsAhead(), 0u);
        ReEnter();  // the re-entry may ask again for the article that was missing
        EXPECT_GE(List().names.size(), 3u);
        EXPECT_EQ(CommandsLike("NEWNEWS").size(), 1u);
        manager.reset();
    }
}

// A pipelined walk whose connection drops at any byte: the panel's retry completes the index,
// every article once and with its number.
TEST_F(ArticleIndexFlowTest, WalkDroppedAtAnyByteIsCompletedByTheRetry) {
    for (int n : {4, 5, 7}) server.AddArticle(kTestGroup, n, Article(n));
    server.SetControls("{}");
    server.Start();
    int connection = 1;
    for (int offset = 60; offset < 700; offset += 5, connection += 2) {
        SCOPED_TRACE(offset);
        server.SetControls(R"({"drop_after_bytes": )" + std::to_string(offset) +
                           R"(, "drop_connections": [)" + std::to_string(connection) + "]}");
        manager = std::make_unique<TNewsInternetManager>(nullptr);
        try {
            manager->Connect(Account());
            manager->Cache->Clear();
            Enter();
            List();
        } catch (const Exception&) {
            // dropped: the retry below goes on
        }
        manager->ConnectHostDef();
        if (manager->State != NewsState::InGroup) Enter();
        const Listing listing = List();
        EXPECT_EQ(listing.names, (Names{"first", "second", "article 4", "article 5", "article 7"}));
        EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 2, 4, 5, 7}));
        EXPECT_EQ(manager->CommandsAhead(), 0u);  // nothing of the dropped connection is awaited
    }
}

// A server that refuses NEWNEWS (INN answers a reader without the right with 480 even when no
// login is needed): re-entering asks for the numbers after the highest one indexed, a missing
// number is skipped, and NEWNEWS is not asked again in the session, neither on the next entry
// nor after Ctrl-R.
TEST_F(ArticleIndexFlowTest, RefusedNewNewsFallsBackToTheNumbersAfterTheIndex) {
    for (const char* reply : {"502 NEWNEWS disabled", "500 Unknown command",
                              "480 NEWNEWS command disabled by administrator"}) {
        SCOPED_TRACE(reply);
        for (const char* name : {"3", "5"}) {
            std::filesystem::remove(server.Spool() + "/" + kTestGroup + "/" + name);
        }
        server.Stop();
        std::filesystem::remove(server.LogFile());
        server.SetControls(std::string(R"({"rules": [{"command": "NEWNEWS", "reply": ")") + reply +
                           "\"}]}");
        Open();
        manager->Cache->Clear();
        Enter();
        List();
        server.AddArticle(kTestGroup, 3, Article(3));
        server.AddArticle(kTestGroup, 5, Article(5));
        Restart();
        ReEnter();
        const Listing listing = List();
        EXPECT_EQ(listing.names, (Names{"first", "second", "article 3", "article 5"}));
        EXPECT_EQ(listing.userData, (std::vector<intptr_t>{1, 2, 3, 5}));
        ReEnter();
        EXPECT_EQ(List().names.size(), 4u);
        TKeyContext context;
        int action = 0;
        manager->ProcessKey('R', PKF_CONTROL, context, action);
        List();
        EXPECT_EQ(CommandsLike("NEWNEWS").size(), 1u);
        EXPECT_EQ(CommandsLike("HEAD "),
                  (Names{"HEAD 3", "HEAD 4", "HEAD 5", "HEAD <1@test>", "HEAD <2@test>",
                         "HEAD <3@test>", "HEAD <5@test>"}));
        EXPECT_EQ(IndexedCount(), 4u);
        manager.reset();
    }
}

TEST_F(ArticleIndexFlowTest, ReloadWalksTheGroupAfresh) {
    Open();
    Enter();
    List();
    host.messageAnswers.push_back(0);
    TKeyContext context;
    int action = 0;
    ASSERT_TRUE(manager->ProcessKey('R', PKF_CONTROL | PKF_ALT, context, action));
    EXPECT_FALSE(manager->IsConnected());
    manager->ConnectHostDef();
    EXPECT_EQ(List().names, (Names{"first", "second"}));
    EXPECT_EQ(CommandsLike("NEXT").size(), 4u);
}

}  // namespace
}  // namespace kestrova::testing

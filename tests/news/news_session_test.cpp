// The NNTP session against a scripted server: status lines and their classes, entering
// groups and reconnecting, posts dropped anywhere and the log.
#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"
#include "common/streams.h"
#include "news/news_session_fixture.h"
#include "news/reply_codes.h"

namespace kestrova::testing {
namespace {

constexpr const char* kGroupReply = "211 2 1 2 alt.test";

using SessionTest = NewsSessionTest;

// The reply to GROUP: lines that are not status lines skipped up to a bound (past it, a protocol
// error); a failure raised with its class, the own groups staying current; a service-ending
// reply, a bound passed or a dropped connection close the socket, so nothing waits for ever.
TEST_F(SessionTest, GroupReplyIsFoundOrFailsWithItsClass) {
    const std::string status = Lines({kGroupReply});
    std::string skippable;
    for (int i = 0; i < kMaxLinesBeforeStatus; ++i) skippable += "2\r\n";
    const std::string noise = Lines(
        {"hello there", "", "2x1 not a code", "21", std::string("20\0", 3), " 200 ok", "-12 x"});
    const std::tuple<Names, uint32_t, bool> cases[] = {
        {{noise + status}, 0, true},
        {{skippable + status}, 0, true},
        {{skippable + "x\r\n" + status}, kRefused, false},
        {{"999 odd"}, 999 | kTransient, true},
        {{"411 no such group"}, 411u | kItemFailure, true},
        {{"400 going down"}, 400u | kTransient, false},
        {{"503 program fault"}, 503u | kTransient, false},
        {{}, 10054u | kTransient, false},  // no reply: the connection is dropped
    };
    for (const auto& [replies, code, connected] : cases) {
        SCOPED_TRACE(code);
        PlayScripts({{.replies = replies}});
        uint32_t failure = 0;
        try {
            manager->SetDirectory(kTestGroup);
            EXPECT_EQ(manager->Connection().LastLine(), kGroupReply);
        } catch (const ECustomError& error) {  // a reply: EInternetError; a drop: ESocketError
            failure = error.Code;
        }
        EXPECT_EQ(failure, code);
        EXPECT_EQ(manager->IsConnected(), connected);
        EXPECT_EQ(manager->GetPath(), failure == 0 ? kTestGroup : ".");
    }
}

// In the server's list a group is not entered (Enter there adds it to the own groups). A group
// refused on reconnecting: the session falls back to the own groups, disconnected.
TEST_F(SessionTest, GroupsEnteredOnlyFromTheOwnOnesAndLeftWhenGone) {
    PlayScripts({{.replies = {kGroupReply}, .expected = {"GROUP alt.test"}},
                 {.replies = {"411 No such group alt.test"}, .expected = {"GROUP alt.test"}}});
    manager->SetState(NewsState::AllGroups);
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->State(), NewsState::AllGroups);
    manager->SetState(NewsState::OwnGroups);
    manager->SetDirectory(kTestGroup);
    manager->Disconnect();
    EXPECT_NO_THROW(manager->ConnectHostDef());
    EXPECT_EQ(manager->GetPath(), ".");
    EXPECT_FALSE(manager->IsConnected());
}

// A post dropped after every byte either side sends: retried by itself (a socket error) only
// while the server lacks the whole article, else an item failure that the panel asks about.
TEST_F(SessionTest, PostDroppedAnywhereIsNeverSentTwiceWithoutAsking) {
    const TServerScript whole{.replies = {"340 send\r\n", "240 posted\r\n"}};
    const std::string article = "Subject: hi\r\n\r\n.dot\r\nbody\r\n";
    const size_t clientBytes = std::string("POST\r\n").size() + article.size() + 4;  // ".." "."
    for (const bool serverSide : {true, false}) {
        for (size_t drop = 0; drop <= (serverSide ? whole.OutputSize() : clientBytes); ++drop) {
            SCOPED_TRACE((serverSide ? "server " : "client ") + std::to_string(drop));
            TServerScript cut = whole;
            (serverSide ? cut.dropAfterSent : cut.dropAfterReceived) = drop;
            try {
                PlayScripts({cut});
            } catch (const ESocketError&) {
                continue;  // the greeting was cut: nothing was posted
            }
            TMemoryStream headers, body;
            body.WriteText(article);
            body.SetPosition(0);
            enum { Posted, Asked, Retried } outcome = Posted;
            try {
                manager->PostMessage(headers, body);
            } catch (const EInternetError& error) {
                EXPECT_NE(error.Code & kItemFailure, 0u) << error.Message;
                outcome = Asked;
            } catch (const ESocketError&) {
                outcome = Retried;
            }
            manager.reset();
            const std::string received = scripted->Received(0);
            const bool hasArticle = received.find("\r\n.\r\n") != std::string::npos;
            EXPECT_FALSE(outcome == Retried && hasArticle) << "retried after a whole article";
            EXPECT_FALSE(outcome == Posted && !hasArticle);
            EXPECT_LE(received.size(), clientBytes);
        }
    }
}

// Lines up to the log level (2: commands and actions, no data), actions unless quiet.
TEST_F(SessionTest, LogKeepsLinesUpToTheLevelAndLoudActions) {
    Options.Connect.LogLevel = kLogAction;
    PlayScripts({{.replies = {kGroupReply, "423 no"}}});
    manager->SetDirectory(kTestGroup);
    manager->Connection().Command("HEAD 1", kLogData, kKeepReply);
    for (int action : {0x8001, 0x8101}) {
        manager->StartAction(action);
        manager->StopAction(action);
    }
    const std::string log = SessionLog();
    EXPECT_NE(log.find("> GROUP alt.test"), std::string::npos) << log;
    EXPECT_EQ(log.find("HEAD"), std::string::npos) << log;
    EXPECT_NE(log.find("Stop action: 00008001"), std::string::npos) << log;
    EXPECT_EQ(log.find("action: 00008101"), std::string::npos) << log;
}

}  // namespace
}  // namespace kestrova::testing

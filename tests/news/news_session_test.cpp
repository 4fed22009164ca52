// The NNTP session against a scripted server: status lines and their classes, entering
// groups and reconnecting, posts dropped anywhere and the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "news/news_session_fixture.h"
#include "news/reply_codes.h"
#include "ui/event_kinds.h"
#include "ui/message_numbers.h"

namespace kestrova::testing {
namespace {

constexpr const char* kGroupReply = "211 2 1 2 alt.test";

using SessionTest = NewsSessionTest;

// The reply to GROUP: a failure raised with its class, the own groups staying current; a
// service-ending reply or a dropped connection close the socket, so nothing waits for ever.
TEST_F(SessionTest, GroupReplyIsFoundOrFailsWithItsClass) {
    const std::tuple<Names, uint32_t, bool> cases[] = {
        {{Lines({kGroupReply})}, 0, true},
        {{"999 odd"}, 999 | kTransient, true},
        {{"411 no such group"}, 411u | kItemFailure, true},
        {{"400 going down"}, 400u | kTransient, false},
        {{"503 program fault"}, 503u | kTransient, false},
        {{}, 10054u | kTransient, false},  // no reply: the connection is dropped
    };
    // Each case read whole, a byte a read, and with the server's end a reset instead of a close.
    const TServerScript reads[] = {{}, {.readSize = 1}, {.dropIsReset = true}};
    for (const auto& [replies, code, connected] : cases) {
        for (TServerScript script : reads) {
            SCOPED_TRACE(std::to_string(code) + " read size " + std::to_string(script.readSize) +
                         (script.dropIsReset ? " reset" : ""));
            script.replies = replies;
            PlayScripts({script});
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
}

// A status line is three digits, then a space or the end. Anything else where one belongs, at
// the greeting or after a command, is a protocol error said with the line made visible, and the
// connection is dropped to be made again, never waited on: the next one goes through.
TEST_F(SessionTest, JunkWhereAStatusLineBelongsIsAProtocolErrorRetriedLikeADrop) {
    const std::pair<std::string, std::string> junk[] = {
        {"", "[]"},
        {"2", "[2]"},
        {std::string("\0\0\0", 3), "[   ]"},
        {"junk line", "[junk line]"},
        {"2000 x", "[2000 x]"},
        {"211\t2 1 2 alt.test", "[211 2 1 2 alt.test]"},
        {"\x1b[2J", "[^[[2J]"},
    };
    host.texts[kMsgNotAStatusLine] = "The server sent [%s] where a status line belongs";
    for (const auto& [line, shown] : junk) {
        SCOPED_TRACE(shown);
        for (const bool atGreeting : {true, false}) {
            TServerScript first{.replies = {line + "\r\n"}};
            if (atGreeting) first = {.greeting = line + "\r\n", .replies = {}};
            Script({first, {.replies = {Lines({kGroupReply})}}});
            try {
                manager->Connect(Account());
                manager->SetDirectory(kTestGroup);
                ADD_FAILURE() << "taken for a status line";
            } catch (const ESocketError& error) {
                EXPECT_EQ(error.Code, 10054u | kTransient);
                EXPECT_NE(error.Message.find(shown), std::string::npos) << error.Message;
            }
            EXPECT_FALSE(manager->IsConnected());
            manager->ConnectHostDef();
            manager->SetDirectory(kTestGroup);
            EXPECT_EQ(manager->GetPath(), kTestGroup);
        }
    }
}

// In the server's list a group is not entered (Enter there adds it to the own groups). A group
// refused on reconnecting: the session falls back to the own groups, disconnected.
TEST_F(SessionTest, GroupsEnteredOnlyFromTheOwnOnesAndLeftWhenGone) {
    const Names commands = {"CAPABILITIES", "GROUP alt.test"};
    PlayScripts({{.replies = {kGroupReply}, .expected = commands},
                 {.replies = {"411 No such group alt.test"}, .expected = commands}});
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
    const size_t clientBytes =
        std::string("CAPABILITIES\r\nPOST\r\n").size() + article.size() + 4;  // ".." "."
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
            enum { Posted, Asked, Retried } outcome = Posted;
            try {
                Post(*manager, article);
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

// Only 340 lets the article go: a 240 at once says it was not sent, and the connection, out of
// step, is dropped.
TEST_F(SessionTest, PostAnsweredWithAnythingButThreeFortySendsNothing) {
    for (const char* answer : {"240 posted\r\n", "235 transferred\r\n"}) {
        SCOPED_TRACE(answer);
        PlayScripts({{.replies = {answer}}});
        try {
            Post(*manager, "Subject: hi\r\n\r\nbody\r\n");
            ADD_FAILURE() << "taken as posted";
        } catch (const EInternetError& error) {
            EXPECT_NE(error.Code & kRefused, 0u);
            EXPECT_EQ(error.ProcName, "PostMessage");
        }
        EXPECT_FALSE(manager->IsConnected());
        manager.reset();
        EXPECT_EQ(scripted->Received(0), "CAPABILITIES\r\nPOST\r\n");
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

// A password the server asks for (381) and the account lacks is asked of the user and never sent
// empty, also after a refusal answered with an empty one; 482 is a refusal like 481.
TEST_F(SessionTest, LoginAsksForAMissingPasswordAndTakes482As481) {
    const struct {
        const char* password;
        std::vector<std::string> replies;
        Names entered;      // the password typed at each login dialog
        std::string asked;  // per dialog: R after a refusal, P for a missing password
        Names sent;         // the passwords sent, each after the user name
    } cases[] = {
        {"", {"381 pass", "281 ok"}, {"pw"}, "P", {"pw"}},
        {"wrong", {"381 pass", "481 no", "381 pass", "281 ok"}, {"", "pw"}, "RP", {"wrong", "pw"}},
        {"wrong", {"381 pass", "482 no", "381 pass", "281 ok"}, {"pw"}, "R", {"wrong", "pw"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        Script({{.replies = c.replies}});
        std::string asked;
        manager->OnEvent = [&](int kind, intptr_t url, intptr_t refusal) {
            if (kind != kEventLogin) return 0;
            asked += refusal != 0 ? 'R' : 'P';
            reinterpret_cast<TUrlComponents*>(url)->Password = c.entered.at(asked.size() - 1);
            return kLoginEntered;
        };
        TAccountOptions account = Account();
        account.Url.UserName = "bob";
        account.Url.Password = c.password;
        manager->Connect(account);
        EXPECT_EQ(asked, c.asked);
        Names sent;
        for (const std::string& password : c.sent)
            sent.insert(sent.end(), {"AUTHINFO USER bob", "AUTHINFO PASS " + password});
        EXPECT_EQ(Sent("AUTHINFO"), sent);
    }
}

}  // namespace
}  // namespace kestrova::testing

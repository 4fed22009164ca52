// The NNTP session: greeting, login, replies and their classes, data blocks, entering groups,
// dropped connections, Esc during a wait and the log. The server is a scripted one, except where
// real timing counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "news/news_session_fixture.h"
#include "news/reply_codes.h"
#include "news/scripted_socket.h"

namespace kestrova::testing {
namespace {

using Commands = std::vector<std::string>;

void PressEsc() {
    platform::InputEvent esc;
    esc.VirtualKeyCode = VK_ESCAPE;
    platform::PushInput(esc);
}

class SessionTest : public NewsSessionTest {
  protected:
    ~SessionTest() override { manager.reset(); }

    // A new manager, its events going to onEvent, connected to a scripted server whose
    // connections play scripts.
    void PlayScripts(std::vector<TServerScript> scripts, const std::string& user = "",
                     const std::string& password = "", decltype(manager->OnEvent) onEvent = {}) {
        manager.reset();
        scripted = std::make_unique<TScriptedServer>(std::move(scripts));
        manager = std::make_unique<TScriptedNewsManager>(*scripted);
        if (onEvent) manager->OnEvent = onEvent;
        manager->Connect(Account(user, password));
    }
    // The same with one connection that answers with the status lines (or whole replies).
    void Play(const std::vector<std::string>& replies, const std::string& user = "",
              const std::string& password = "", decltype(manager->OnEvent) onEvent = {}) {
        TServerScript script;
        for (const std::string& reply : replies) {
            script.replies.push_back(reply.ends_with("\r\n") ? reply : reply + "\r\n");
        }
        PlayScripts({script}, user, password, onEvent);
    }
    Commands Sent() const { return scripted->Commands(); }

    std::unique_ptr<TScriptedServer> scripted;
};

constexpr const char* kGroupReply = "211 2 1 2 alt.test";

TEST_F(SessionTest, GreetingDecidesWhetherPostingIsAllowedOrRaisesWithItsClass) {
    struct Case {
        const char* greeting;
        bool posting;
        uint32_t failure;
    };
    for (const Case& c : {Case{"200 posting ok", true, 0}, Case{"201 no posting", false, 0},
                          Case{"502 go away", false, 502u | kRefused}}) {
        uint32_t failure = 0;
        try {
            PlayScripts({{.greeting = c.greeting + std::string("\r\n"), .replies = {}}});
            EXPECT_EQ((manager->ServerFlags & kServerAllowsPosting) != 0, c.posting) << c.greeting;
            EXPECT_TRUE(manager->IsConnected());
            EXPECT_EQ(manager->State, NewsState::OwnGroups);
            EXPECT_EQ(manager->GetPath(), ".");
        } catch (const EInternetError& error) {
            failure = error.Code;
            EXPECT_EQ(error.ProcName, "ConnectHostDef");
            EXPECT_EQ(error.Message, c.greeting);
        }
        EXPECT_EQ(failure, c.failure) << c.greeting;
    }
}

TEST_F(SessionTest, LoginSendsOnlyWhatTheAccountHolds) {
    struct Case {
        const char* user;
        const char* password;
        std::vector<std::string> replies;
        Commands sent;
    };
    const Case cases[] = {
        {"", "", {}, {}},
        {"bob", "", {"381 password"}, {"AUTHINFO USER bob"}},
        {"anon", "unused", {"281 ok"}, {"AUTHINFO USER anon"}},  // the user name alone is enough
        {"bob",
         "secret",
         {"381 password", "281 ok"},
         {"AUTHINFO USER bob", "AUTHINFO PASS secret"}},
    };
    for (const Case& c : cases) {
        Play(c.replies, c.user, c.password);
        EXPECT_EQ(Sent(), c.sent) << c.user << ":" << c.password;
    }
}

// A login the server refuses or asks for on demand: what goes out, once each, and how it ends.
// The panel's login dialog is played by the event answer: new credentials, declined, or nobody
// there to ask.
TEST_F(SessionTest, LoginOnDemandAndRefusedLogins) {
    struct Case {
        const char* name;
        std::vector<std::string> replies;
        const char* user;
        const char* password;
        int dialog;        // answer to kEventLogin; with kLoginEntered it gives bob/secret
        uint32_t failure;  // code of the EInternetError raised; 0: GROUP succeeds
        bool aborted;      // a declined dialog ends the operation silently
        Commands sent;
    };
    const std::vector<std::string> wrong = {"381 password", "481 rejected"};
    const Commands wrongSent = {"AUTHINFO USER bob", "AUTHINFO PASS wrong"};
    const Case cases[] = {
        {"WrongPasswordNobodyToAsk", wrong, "bob", "wrong", 0, 481u | kRefused, false, wrongSent},
        {"WrongPasswordDeclined", wrong, "bob", "wrong", kLoginDeclined, 0, true, wrongSent},
        {"WrongPasswordEnteredAgain",
         {"381 password", "481 rejected", "381 password", "281 ok", kGroupReply},
         "bob",
         "wrong",
         kLoginEntered,
         0,
         false,
         {"AUTHINFO USER bob", "AUTHINFO PASS wrong", "AUTHINFO USER bob", "AUTHINFO PASS secret",
          "GROUP alt.test"}},
        {"AskedForOnDemandAndReplayed",
         {"480 login first", "381 password", "281 ok", kGroupReply},
         "",
         "",
         kLoginEntered,
         0,
         false,
         {"GROUP alt.test", "AUTHINFO USER bob", "AUTHINFO PASS secret", "GROUP alt.test"}},
        {"OnDemandWithoutAnyoneToAsk",
         {"480 login first"},
         "",
         "",
         0,
         480u | kRefused,
         false,
         {"GROUP alt.test"}},
        {"StillRefusedAfterALogin",
         {"381 password", "281 ok", "480 Not for you"},
         "bob",
         "secret",
         0,
         480u | kRefused,
         false,
         {"AUTHINFO USER bob", "AUTHINFO PASS secret", "GROUP alt.test"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t failure = 0;
        bool aborted = false;
        try {
            Play(c.replies, c.user, c.password, [&](int kind, intptr_t param1, intptr_t) {
                if (kind != kEventLogin) return 0;
                if (c.dialog == kLoginEntered) {
                    auto& url = *reinterpret_cast<TUrlComponents*>(param1);
                    url.UserName = "bob";
                    url.Password = "secret";
                }
                return c.dialog;
            });
            manager->SetDirectory(kTestGroup);
        } catch (const EInternetError& error) {
            failure = error.Code;
        } catch (const EAbort&) {
            aborted = true;
        }
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(aborted, c.aborted);
        EXPECT_EQ(Sent(), c.sent);
    }
}

TEST_F(SessionTest, LogHoldsNoPassword) {
    Play({"381 password", "281 ok"}, "bob", "Pa55word");
    const std::string log = SessionLog();
    EXPECT_NE(log.find("> AUTHINFO USER bob"), std::string::npos) << log;
    EXPECT_NE(log.find("> AUTHINFO PASS ********"), std::string::npos) << log;
    EXPECT_EQ(log.find("Pa55word"), std::string::npos) << log;
}

TEST_F(SessionTest, LogKeepsOnlyLinesUpToTheLogLevel) {
    Options.Connect.LogLevel = 0;
    Play({kGroupReply});
    manager->SetDirectory(kTestGroup);
    const std::string log = SessionLog();
    EXPECT_NE(log.find("Connecting to \"127.0.0.1:"), std::string::npos) << log;
    EXPECT_EQ(log.find("> GROUP"), std::string::npos) << log;
    EXPECT_EQ(log.find("< 211"), std::string::npos) << log;
}

// Lines that are not status lines are skipped up to a bound; past it, and for a code outside
// the known ones (999 too), the reply fails.
TEST_F(SessionTest, LinesBeforeTheStatusLineAreSkippedUpToABound) {
    const std::string status = std::string(kGroupReply) + "\r\n";
    std::string skippable;
    for (int i = 0; i < kMaxLinesBeforeStatus; ++i) skippable += "2\r\n";
    struct Case {
        std::string reply;
        uint32_t failure;  // 0: the status line is read
    };
    const Case cases[] = {
        {Lines({"hello there", "", "2x1 not a code", "21", std::string("20\0", 3)}) + status, 0},
        {skippable + status, 0},
        {skippable + "x\r\n" + status, kRefused},
        {"999 odd\r\n", 999 | kTransient},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.size());
        Play({c.reply});
        uint32_t failure = 0;
        try {
            manager->SetDirectory(kTestGroup);
            EXPECT_EQ(manager->ReplyLine, kGroupReply);
        } catch (const EInternetError& error) {
            failure = error.Code;
        }
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(manager->IsConnected(), c.failure != kRefused);
        EXPECT_EQ(Sent(), Commands{"GROUP alt.test"});
    }
}

TEST_F(SessionTest, ErrorStatusRaisesWithCodeAndClass) {
    Play({kGroupReply, "423 no such number", "430 no such article", "223 2 <2@test>", "421 no"});
    manager->SetDirectory(kTestGroup);
    const std::pair<const char*, uint32_t> cases[] = {
        {"99", 423u | kItemFailure},
        {"<none@test>", 430u | kItemFailure},
    };
    for (const auto& [argument, code] : cases) {
        try {
            manager->SendCommand(*manager->Socket, "HEAD", kLogCommand, kWaitForReply, argument);
            ADD_FAILURE() << "HEAD " << argument << " was accepted";
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, code) << argument;
            EXPECT_EQ(error.ProcName, "SendCommand");
        }
        EXPECT_TRUE(manager->IsConnected());
    }
    // With kKeepReply the caller gets the code and nothing is raised.
    for (int code : {223, 421}) {
        EXPECT_EQ(manager->SendCommand(*manager->Socket, "NEXT", kLogCommand,
                                       kWaitForReply | kKeepReply, ""),
                  code);
    }
}

// A failed GROUP leaves the own groups current; a service-ending reply or a dropped connection
// closes the socket before raising, so nothing waits for ever.
TEST_F(SessionTest, FailedGroupRaisesWithItsClassAndStaysInTheOwnGroups) {
    struct Case {
        std::vector<std::string> replies;
        uint32_t failure;
        bool connected;
    };
    const Case cases[] = {
        {{"411 no such group"}, 411u | kItemFailure, true},
        {{"400 going down"}, 400u | kTransient, false},
        {{}, 10054u | kTransient, false},  // no reply: the connection is dropped
    };
    for (const Case& c : cases) {
        Play(c.replies);
        uint32_t failure = 0;
        try {
            manager->SetDirectory(kTestGroup);
        } catch (const ECustomError& error) {  // a reply: EInternetError; a drop: ESocketError
            failure = error.Code;
            EXPECT_EQ(error.ProcName, "SendCommand");
        }
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(manager->IsConnected(), c.connected) << c.failure;
        EXPECT_EQ(manager->State, NewsState::OwnGroups);
        EXPECT_EQ(manager->GetPath(), ".");
    }
}

TEST_F(SessionTest, DataBlockComesOutAsTheAuthorWroteIt) {
    const Commands wire = {
        "...two dots", "..", "...",       "....", "..single", "211 three digits are data",
        "223",         "",   "last line", "."};
    Play({kGroupReply, Lines({"222 3 <3@test> body"}) + Lines(wire), kGroupReply});
    manager->SetDirectory(kTestGroup);
    ASSERT_EQ(manager->SendCommand(*manager->Socket, "BODY", kLogCommand, kWaitForReply, "3"), 222);
    std::vector<std::string> received;
    std::string line;
    DataLine result;
    while ((result = manager->ReadDataLine(*manager->Socket, line)) == DataLine::Data) {
        received.push_back(line);
    }
    EXPECT_EQ(result, DataLine::End);
    EXPECT_EQ(received, (Commands{"..two dots", ".", "..", "...", ".single",
                                  "211 three digits are data", "223", "", "last line"}));
    // The connection is in step: the next command gets its own reply.
    EXPECT_EQ(
        manager->SendCommand(*manager->Socket, "GROUP", kLogCommand, kWaitForReply, kTestGroup),
        211);
}

TEST_F(SessionTest, DataBlockCutShortReportsTheLoss) {
    TServerScript script{
        .replies = {Lines({"222 1 <1@test> body"}) + Lines({"line one", "line two", "."})}};
    script.dropAfterSent = script.greeting.size() + 30;
    PlayScripts({script});
    manager->SendCommand(*manager->Socket, "BODY", kLogCommand, kWaitForReply, "1");
    std::string line;
    DataLine result;
    while ((result = manager->ReadDataLine(*manager->Socket, line)) == DataLine::Data) {
    }
    EXPECT_EQ(result, DataLine::Lost);
    EXPECT_FALSE(manager->IsConnected());
}

TEST_F(SessionTest, ReconnectEntersTheGroupAgain) {
    const std::string group = Lines({kGroupReply});
    PlayScripts({{.replies = {group}}, {.replies = {group}}});  // NEXT: dropped
    manager->SetDirectory(kTestGroup);
    manager->UpdateGroup = 0;
    EXPECT_THROW(manager->SendCommand(*manager->Socket, "NEXT", kLogCommand, kWaitForReply, ""),
                 ESocketError);
    ASSERT_FALSE(manager->IsConnected());

    manager->ConnectHostDef();
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(manager->State, NewsState::InGroup);
    EXPECT_EQ(manager->GetPath(), kTestGroup);
    EXPECT_EQ(manager->UpdateGroup, 0);  // the same group: its index stays as it is
    EXPECT_EQ(Sent(), (Commands{"GROUP alt.test", "NEXT", "GROUP alt.test"}));
}

TEST_F(SessionTest, ReconnectFallsBackWhenTheGroupIsGone) {
    PlayScripts({{.replies = {Lines({kGroupReply})}},
                 {.replies = {Lines({"411 No such group alt.test"})}}});
    manager->SetDirectory(kTestGroup);
    manager->Disconnect();

    EXPECT_NO_THROW(manager->ConnectHostDef());
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
    EXPECT_FALSE(manager->IsConnected());
}

// Esc needs a reply that really keeps the client waiting: the fixture server holds it.
TEST_F(NewsSessionTest, EscDuringAWaitAborts) {
    server.SetControls(R"({"rules": [{"command": "GROUP", "delay_ms": 5000}]})");
    ConnectTo();
    PressEsc();
    try {
        manager->SetDirectory(kTestGroup);
        FAIL() << "Esc was ignored";
    } catch (const EUserAbort& error) {
        EXPECT_EQ(error.Code, kItemFailure);
        EXPECT_EQ(error.ProcName, "SocketWait");
    }
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_TRUE(platform::PeekInput().empty()) << "the Esc was not consumed";
}

// A group's name is the whole path: a trailing dot stays, on reconnecting too.
TEST_F(SessionTest, GroupNameEndingInADotKeepsIt) {
    PlayScripts({{.replies = {"211 0 1 0 a.b.\r\n"}}, {.replies = {"211 0 1 0 a.b.\r\n"}}});
    manager->SetDirectory("a.b.");
    EXPECT_EQ(manager->GetPath(), "a.b.");
    manager->Disconnect();
    manager->ConnectHostDef();
    EXPECT_EQ(Sent(), (Commands{"GROUP a.b.", "GROUP a.b."}));
}

TEST_F(SessionTest, DirectoryStates) {
    Play({kGroupReply, kGroupReply});
    std::vector<std::string> titles;
    manager->OnEvent = [&](int kind, intptr_t, intptr_t text) {
        if (kind == kEventTitle) titles.emplace_back(reinterpret_cast<const char*>(text));
        return 0;
    };
    manager->SetDirectory(".");
    EXPECT_EQ(manager->State, NewsState::OwnGroups);

    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->State, NewsState::InGroup);
    EXPECT_EQ(manager->GetPath(), kTestGroup);
    EXPECT_EQ(manager->UpdateGroup, 1);
    EXPECT_EQ(titles, std::vector<std::string>{"<19>"});

    manager->UpdateGroup = 0;
    manager->Path = "ALT.TEST";  // the same group in other letters
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->UpdateGroup, 0);

    manager->SetDirectory("..");
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
    EXPECT_THROW(manager->SetDirectory(".."), EInternetLeave);

    manager->SetState(NewsState::AllGroups);
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->State, NewsState::AllGroups);
    EXPECT_EQ(Sent(), (Commands{"GROUP alt.test", "GROUP alt.test"}));
}

TEST_F(SessionTest, SocketTrafficReachesThePanel) {
    Play({kGroupReply});
    std::vector<std::pair<int, intptr_t>> events;
    manager->OnEvent = [&](int kind, intptr_t, intptr_t count) {
        events.emplace_back(kind, count);
        return 0;
    };
    manager->SendCommand(*manager->Socket, "GROUP", kLogCommand, kWaitForReply, kTestGroup);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], (std::pair<int, intptr_t>{kEventSending, 16}));  // "GROUP alt.test\r\n"
    EXPECT_EQ(events[1].first, kEventReceived);

    events.clear();
    manager->SetState(NewsState::Posting);
    manager->SendCommand(*manager->Socket, "NEXT", kLogCommand, 0, "");
    EXPECT_EQ(events, (std::vector<std::pair<int, intptr_t>>{{kEventProgress, 6}}));
}

// A post dropped after every byte that either side sends: a failure that the panel retries by
// itself (a socket error) comes only while the server lacks the whole article; once the server
// may have it, the failure is an item failure, which the panel asks about.
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

TEST_F(SessionTest, ActionsAreLoggedUnlessQuiet) {
    Play({});
    manager->StartAction(0x8001);
    manager->StopAction(0x8001);
    manager->StartAction(0x8101);
    manager->StopAction(0x8101);
    const std::string log = SessionLog();
    EXPECT_NE(log.find("Start action: 00008001"), std::string::npos) << log;
    EXPECT_NE(log.find("Stop action: 00008001"), std::string::npos) << log;
    EXPECT_EQ(log.find("action: 00008101"), std::string::npos) << log;
}

}  // namespace
}  // namespace kestrova::testing

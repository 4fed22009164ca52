// The NNTP session against the fixture news server: greeting, login, replies and their classes,
// data blocks, entering groups, dropped connections, Esc during a wait and the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
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

TEST_F(NewsSessionTest, GreetingDecidesWhetherPostingIsAllowed) {
    const std::pair<const char*, bool> cases[] = {{"200 posting ok", true},
                                                  {"201 no posting", false}};
    for (const auto& [greeting, allowed] : cases) {
        FixtureNewsServer own;
        own.Start({"--greeting", greeting});
        TNewsInternetManager session(nullptr);
        TAccountOptions account = Account();
        account.Url.Port = own.Port();
        session.Connect(account);
        EXPECT_EQ((session.ServerFlags & kServerAllowsPosting) != 0, allowed) << greeting;
        EXPECT_TRUE(session.IsConnected());
        EXPECT_EQ(session.State, NewsState::OwnGroups);
        EXPECT_EQ(session.GetPath(), ".");
    }
}

TEST_F(NewsSessionTest, RefusedGreetingRaisesWithItsClass) {
    server.Start({"--greeting", "502 go away"});
    TNewsInternetManager session(nullptr);
    try {
        session.Connect(Account());
        FAIL() << "a 502 greeting was accepted";
    } catch (const EInternetError& error) {
        EXPECT_EQ(error.Code, 502u | kRefused);
        EXPECT_EQ(error.ProcName, "ConnectHostDef");
        EXPECT_EQ(error.Message, "502 go away");
    }
}

TEST_F(NewsSessionTest, LoginSendsOnlyWhatTheAccountHolds) {
    struct Case {
        const char* user;
        const char* password;
        Commands sent;
    };
    const Case cases[] = {
        {"", "", {}},
        {"bob", "", {"AUTHINFO USER bob"}},
        {"bob", "secret", {"AUTHINFO USER bob", "AUTHINFO PASS secret"}},
    };
    for (const Case& c : cases) {
        FixtureNewsServer own;
        own.Start({"--user", "bob:secret"});
        TNewsInternetManager session(nullptr);
        TAccountOptions account = Account(c.user, c.password);
        account.Url.Port = own.Port();
        session.Connect(account);
        EXPECT_EQ(own.ClientCommands(), c.sent) << c.user << ":" << c.password;
    }
}

TEST_F(NewsSessionTest, LoginOnUserNameAloneSendsNoPassword) {
    ConnectTo({"--user", "anon:"}, "anon", "unused");
    EXPECT_EQ(server.ClientCommands(), Commands{"AUTHINFO USER anon"});
}

// A login the server refuses or asks for on demand: what goes out, once each, and how it ends.
// The panel's login dialog is played by the event answer: new credentials, declined, or nobody
// there to ask.
TEST_F(NewsSessionTest, LoginOnDemandAndRefusedLogins) {
    struct Case {
        const char* name;
        std::vector<std::string> server;
        const char* user;
        const char* password;
        int dialog;        // answer to kEventLogin; with kLoginEntered it gives bob/secret
        uint32_t failure;  // code of the EInternetError raised; 0: GROUP succeeds
        bool aborted;      // a declined dialog ends the operation silently
        Commands sent;
    };
    const std::vector<std::string> groupNeedsLogin = {"--user", "bob:secret", "--require-auth-for",
                                                      "GROUP"};
    const Case cases[] = {
        {"WrongPasswordNobodyToAsk",
         groupNeedsLogin,
         "bob",
         "wrong",
         0,
         481u | kRefused,
         false,
         {"AUTHINFO USER bob", "AUTHINFO PASS wrong"}},
        {"WrongPasswordDeclined",
         groupNeedsLogin,
         "bob",
         "wrong",
         kLoginDeclined,
         0,
         true,
         {"AUTHINFO USER bob", "AUTHINFO PASS wrong"}},
        {"WrongPasswordEnteredAgain",
         groupNeedsLogin,
         "bob",
         "wrong",
         kLoginEntered,
         0,
         false,
         {"AUTHINFO USER bob", "AUTHINFO PASS wrong", "AUTHINFO USER bob", "AUTHINFO PASS secret",
          "GROUP alt.test"}},
        {"AskedForOnDemandAndReplayed",
         groupNeedsLogin,
         "",
         "",
         kLoginEntered,
         0,
         false,
         {"GROUP alt.test", "AUTHINFO USER bob", "AUTHINFO PASS secret", "GROUP alt.test"}},
        {"OnDemandWithoutAnyoneToAsk",
         groupNeedsLogin,
         "",
         "",
         0,
         480u | kRefused,
         false,
         {"GROUP alt.test"}},
        {"StillRefusedAfterALogin",
         {"--user", "bob:secret", "--refuse", "GROUP=480 Not for you"},
         "bob",
         "secret",
         0,
         480u | kRefused,
         false,
         {"AUTHINFO USER bob", "AUTHINFO PASS secret", "GROUP alt.test"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureNewsServer own;
        own.AddGroup(kTestGroup);
        own.Start(c.server);
        TNewsInternetManager session(nullptr);
        session.OnEvent = [&](int kind, intptr_t param1, intptr_t) {
            if (kind != kEventLogin) return 0;
            if (c.dialog == kLoginEntered) {
                auto& url = *reinterpret_cast<TUrlComponents*>(param1);
                url.UserName = "bob";
                url.Password = "secret";
            }
            return c.dialog;
        };
        TAccountOptions account = Account(c.user, c.password);
        account.Url.Port = own.Port();
        uint32_t failure = 0;
        bool aborted = false;
        try {
            session.Connect(account);
            session.SetDirectory(kTestGroup);
        } catch (const EInternetError& error) {
            failure = error.Code;
        } catch (const EAbort&) {
            aborted = true;
        }
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(aborted, c.aborted);
        EXPECT_EQ(own.ClientCommands(), c.sent);
    }
}

TEST_F(NewsSessionTest, RightPasswordOpensTheGroups) {
    ConnectTo({"--user", "bob:secret", "--require-auth"}, "bob", "secret");
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->ReplyCode, 211);
}

TEST_F(NewsSessionTest, LogHoldsNoPassword) {
    ConnectTo({"--user", "bob:Pa55word"}, "bob", "Pa55word");
    const std::string log = SessionLog();
    EXPECT_NE(log.find("> AUTHINFO USER bob"), std::string::npos) << log;
    EXPECT_NE(log.find("> AUTHINFO PASS ********"), std::string::npos) << log;
    EXPECT_EQ(log.find("Pa55word"), std::string::npos) << log;
}

TEST_F(NewsSessionTest, LogKeepsOnlyLinesUpToTheLogLevel) {
    Options.Connect.LogLevel = 0;
    ConnectTo();
    manager->SetDirectory(kTestGroup);
    const std::string log = SessionLog();
    EXPECT_NE(log.find("Connecting to \"127.0.0.1:"), std::string::npos) << log;
    EXPECT_EQ(log.find("> GROUP"), std::string::npos) << log;
    EXPECT_EQ(log.find("< 211"), std::string::npos) << log;
}

TEST_F(NewsSessionTest, LinesBeforeTheStatusLineAreSkipped) {
    TScriptedServer scripted(
        {{.replies = {Lines({"hello there", "", "2x1 not a code", "21", "211 2 1 2 alt.test"})}}});
    TScriptedNewsManager session(scripted);
    session.Connect(Account());
    session.SetDirectory(kTestGroup);
    EXPECT_EQ(session.ReplyCode, 211);
    EXPECT_EQ(session.ReplyLine, "211 2 1 2 alt.test");
    EXPECT_EQ(scripted.Commands(), Commands{"GROUP alt.test"});
}

TEST_F(NewsSessionTest, ErrorStatusRaisesWithCodeAndClass) {
    ConnectTo();
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
    EXPECT_EQ(
        manager->SendCommand(*manager->Socket, "NEXT", kLogCommand, kWaitForReply | kKeepReply, ""),
        223);
    EXPECT_EQ(
        manager->SendCommand(*manager->Socket, "NEXT", kLogCommand, kWaitForReply | kKeepReply, ""),
        421);
}

TEST_F(NewsSessionTest, ServiceEndingReplyClosesTheSocketBeforeRaising) {
    server.SetControls(R"({"rules": [{"command": "GROUP", "reply": "400 going down"}]})");
    ConnectTo();
    try {
        manager->SetDirectory(kTestGroup);
        FAIL() << "a 400 was accepted";
    } catch (const EInternetError& error) {
        EXPECT_EQ(error.Code, 400u | kTransient);
    }
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
}

TEST_F(NewsSessionTest, DataBlockComesOutAsTheAuthorWroteIt) {
    const std::vector<std::string> body = {"..two dots", ".",       "..",
                                           "...",        ".single", "211 three digits are data",
                                           "223",        "",        "last line"};
    std::string text = "Message-ID: <3@test>\r\nSubject: dots\r\n\r\n";
    for (const std::string& line : body) text += line + "\r\n";
    server.AddArticle(kTestGroup, 3, text);
    ConnectTo();
    manager->SetDirectory(kTestGroup);
    ASSERT_EQ(manager->SendCommand(*manager->Socket, "BODY", kLogCommand, kWaitForReply, "3"), 222);
    std::vector<std::string> received;
    std::string line;
    DataLine result;
    while ((result = manager->ReadDataLine(*manager->Socket, line)) == DataLine::Data) {
        received.push_back(line);
    }
    EXPECT_EQ(result, DataLine::End);
    EXPECT_EQ(received, body);
    // The connection is in step: the next command gets its own reply.
    EXPECT_EQ(
        manager->SendCommand(*manager->Socket, "GROUP", kLogCommand, kWaitForReply, kTestGroup),
        211);
}

TEST_F(NewsSessionTest, DataBlockCutShortReportsTheLoss) {
    TServerScript script{
        .replies = {Lines({"222 1 <1@test> body"}) + Lines({"line one", "line two", "."})}};
    script.dropAfterSent = script.greeting.size() + 30;
    TScriptedServer scripted({script});
    TScriptedNewsManager session(scripted);
    session.Connect(Account());
    session.SendCommand(*session.Socket, "BODY", kLogCommand, kWaitForReply, "1");
    std::string line;
    DataLine result;
    while ((result = session.ReadDataLine(*session.Socket, line)) == DataLine::Data) {
    }
    EXPECT_EQ(result, DataLine::Lost);
    EXPECT_FALSE(session.IsConnected());
}

TEST_F(NewsSessionTest, DroppedConnectionRaisesInsteadOfWaitingForEver) {
    TScriptedServer scripted({TServerScript{}});  // the greeting, and no reply to GROUP
    TScriptedNewsManager session(scripted);
    session.Connect(Account());
    try {
        session.SetDirectory(kTestGroup);
        FAIL() << "a dropped connection went unnoticed";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, 10054u | kTransient);
        EXPECT_EQ(error.ProcName, "SendCommand");
    }
    EXPECT_FALSE(session.IsConnected());
    EXPECT_EQ(session.State, NewsState::OwnGroups);
}

TEST_F(NewsSessionTest, ReconnectEntersTheGroupAgain) {
    server.SetControls(R"({"rules": [{"command": "NEXT", "drop": true, "connection": 1}]})");
    ConnectTo();
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
    EXPECT_EQ(server.ClientCommands(), (Commands{"GROUP alt.test", "NEXT", "GROUP alt.test"}));
}

TEST_F(NewsSessionTest, ReconnectFallsBackWhenTheGroupIsGone) {
    server.SetControls(R"({"rules": [{"command": "GROUP", "connection": 2,
        "reply": "411 No such group alt.test"}]})");
    ConnectTo();
    manager->SetDirectory(kTestGroup);
    manager->Disconnect();

    EXPECT_NO_THROW(manager->ConnectHostDef());
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
    EXPECT_FALSE(manager->IsConnected());
}

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

TEST_F(NewsSessionTest, DirectoryStates) {
    ConnectTo();
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
    EXPECT_EQ(server.ClientCommands(), (Commands{"GROUP alt.test", "GROUP alt.test"}));
}

TEST_F(NewsSessionTest, EnteringAMissingGroupStaysInTheOwnGroups) {
    ConnectTo();
    try {
        manager->SetDirectory("no.such.group");
        FAIL() << "a missing group was entered";
    } catch (const EInternetError& error) {
        EXPECT_EQ(error.Code, 411u | kItemFailure);
    }
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
}

TEST_F(NewsSessionTest, SocketTrafficReachesThePanel) {
    ConnectTo();
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

TEST_F(NewsSessionTest, ActionsAreLoggedUnlessQuiet) {
    ConnectTo();
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

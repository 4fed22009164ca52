// An account that asks for STARTTLS against scripted servers that do not give it: the session
// reads on in clear, but no AUTHINFO ever leaves, and the refusal says why; a server that sends
// bytes between its 382 and the handshake is refused. A plain account never asks for TLS.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "news/news_session_fixture.h"
#include "ui/event_kinds.h"
#include "ui/message_numbers.h"

namespace kestrova::testing {
namespace {

const std::string kListWithStartTls = Lines({"101 list", "VERSION 2", "READER", "STARTTLS", "."});
const std::string kListWithoutStartTls = Lines({"101 list", "VERSION 2", "READER", "."});

class StartTlsFlowTest : public NewsSessionTest {
  protected:
    StartTlsFlowTest() {
        host.texts[kMsgNoStartTls] = "no STARTTLS offered";
        host.texts[kMsgStartTlsRefused] = "STARTTLS refused: %s";
        host.texts[kMsgLoginNotInClear] = "%s: no login in clear";
        host.texts[kMsgDataBeforeTls] = "data before the handshake";
    }

    // A new manager on script, whose login dialogs are counted, connecting with account.
    void Play(const TServerScript& script, const TAccountOptions& account) {
        Script({script});
        manager->OnEvent = [this](int kind, intptr_t, intptr_t) {
            if (kind == kEventLogin) ++loginDialogs;
            return 0;
        };
        manager->Connect(account);
    }

    TAccountOptions StartTlsAccount(const std::string& user) {
        TAccountOptions account = Account();
        account.Secure = kTlsByStartTls;
        account.Url.UserName = user;
        account.Url.Password = user.empty() ? "" : "secret";
        return account;
    }

    int loginDialogs = 0;
};

// No TLS, whatever the reason: a login at connecting, or one that a 480 asks for, is refused
// with the reason before anything is sent or asked; reading without one goes on.
TEST_F(StartTlsFlowTest, WithoutTlsNoLoginLeavesAndTheMessageSaysWhy) {
    const struct {
        const char* reason;
        std::string capabilities;
        const char* reply;  // to STARTTLS, sent when there is one
    } cases[] = {
        {"no STARTTLS offered", kListWithoutStartTls, ""},
        {"no STARTTLS offered", "500 unknown command", ""},
        {"STARTTLS refused: 580 cannot start TLS", kListWithStartTls, "580 cannot start TLS"},
        {"STARTTLS refused: 502 not now", kListWithStartTls, "502 not now"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const std::string refusal = std::string(c.reason) + ": no login in clear";
        Names replies, sent = {"CAPABILITIES"};  // sent: up to the login
        if (*c.reply != '\0') {
            replies.push_back(c.reply);
            sent.push_back("STARTTLS");
        }
        try {
            Play({.capabilities = c.capabilities, .replies = replies}, StartTlsAccount("bob"));
            ADD_FAILURE() << "connected with a login in clear";
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, kRefused);
            EXPECT_EQ(error.Message, refusal);
        }
        EXPECT_EQ(Sent(), sent);

        replies.insert(replies.end(), {"480 login first", Lines({"211 2 1 2 alt.test"})});
        Play({.capabilities = c.capabilities, .replies = replies}, StartTlsAccount(""));
        try {
            manager->SetDirectory(kTestGroup);
            ADD_FAILURE() << "entered after a 480";
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Message, refusal);
        }
        sent.push_back("GROUP alt.test");
        EXPECT_EQ(Sent(), sent);
        EXPECT_EQ(loginDialogs, 0);
        EXPECT_NE(SessionLog().find("reading goes on in clear"), std::string::npos);
        EXPECT_TRUE(manager->IsConnected());
    }
}

// A server whose next bytes after 382 are not the handshake's is cut off before TLS starts.
TEST_F(StartTlsFlowTest, BytesBetweenTheReplyAndTheHandshakeAreRefused) {
    try {
        Play({.capabilities = kListWithStartTls, .replies = {"382 go ahead\r\n200 injected"}},
             StartTlsAccount("bob"));
        ADD_FAILURE() << "connected";
    } catch (const EInternetError& error) {
        EXPECT_EQ(error.Code, kRefused);
        EXPECT_EQ(error.Message, "data before the handshake");
    }
    EXPECT_EQ(Sent(), (Names{"CAPABILITIES", "STARTTLS"}));
    EXPECT_FALSE(manager->IsConnected());
}

// Without the setting nothing changes: STARTTLS is listed but not asked for, and the login goes.
TEST_F(StartTlsFlowTest, PlainAccountNeverSendsStartTls) {
    TAccountOptions account = StartTlsAccount("bob");
    account.Secure = kPlainConnection;
    Play({.capabilities = kListWithStartTls, .replies = {"381 more", "281 ok"}}, account);
    EXPECT_EQ(Sent(),
              (Names{"CAPABILITIES", "AUTHINFO USER bob", "AUTHINFO PASS secret", "CAPABILITIES"}));
}

}  // namespace
}  // namespace kestrova::testing

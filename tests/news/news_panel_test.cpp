// What the connected panel shows: the shortcut descriptor, the replaced panel mode with its
// column titles, and a refused proxy login in the user's language.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <string>

#include "common/errors.h"
#include "net/loopback_peer.h"
#include "net/socks_error_text.h"
#include "news/news_internet_manager.h"
#include "news/news_proxy_manager.h"
#include "temp_home.h"
#include "ui/char_tables.h"
#include "ui/fake_host.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

class NewsPanelTest : public HostTest {
  protected:
    NewsPanelTest() : savedOptions_(Options), savedColumnTypes_(ColumnTypes) {
        Options.Connect.CreateLog = 0;
    }
    ~NewsPanelTest() override {
        Options = savedOptions_;
        ColumnTypes = savedColumnTypes_;
        KeyBarTitles = {};
    }
    // The column types of the replaced panel mode in state, then its titles ("(host)" where the
    // host's own title stays), joined by "|".
    std::string Mode(NewsState state) {
        manager.SetState(state);
        OpenPluginInfo info{};
        manager.GetOpenPluginInfo(info, descriptor);
        const PanelMode& mode = info.PanelModesArray[0];
        std::string text = mode.ColumnTypes;
        const std::ptrdiff_t columns = std::count(text.begin(), text.end(), ',') + 1;
        for (std::ptrdiff_t c = 0; c < columns; ++c)
            text += std::string("|") + (mode.ColumnTitles[c] ? mode.ColumnTitles[c] : "(host)");
        return text;
    }

    TempHomeForTest home;
    TNewsInternetManager manager{nullptr};
    std::string descriptor;

  private:
    TPluginOptions savedOptions_;
    std::string savedColumnTypes_;
};

// The shortcut descriptor leaves the credentials out and marks an account that asks for STARTTLS;
// the replaced mode has fixed group columns (the own groups' unread articles first) and titled
// article columns.
TEST_F(NewsPanelTest, DescriptorAndReplacedMode) {
    TAccountOptions account;
    account.Url = {"news", "news.example.org", 119, "bob", "secret", "", ""};
    account.FromName = "Ann Lee";
    account.FromAddr = "ann@example.org";
    account.Organization = "Kestrel Works";
    account.CharTable = kNoSlot;
    account.AskPassword = 1;
    manager.SetAccount(account);
    Options.ReplaceModes = 1;
    EXPECT_EQ(Mode(NewsState::OwnGroups), "N,C2,C0,C1,A|(host)|<180>|<111>|<112>|(host)");
    EXPECT_EQ(Mode(NewsState::AllGroups), "N,C0,C1,A|(host)|<111>|<112>|(host)");
    const std::string head = "110  7Ann Lee 15ann@example.org  0 13Kestrel Works.default";
    EXPECT_EQ(descriptor, "0" + std::to_string(head.size()) + head + "news://news.example.org:119");
    account.Secure = kTlsByStartTls;  // "2": a build without STARTTLS takes it for a folder
    manager.SetAccount(account);
    Mode(NewsState::OwnGroups);
    EXPECT_EQ(descriptor, "0" + std::to_string(head.size()) + "2" + head.substr(1) +
                              "news://news.example.org:119");
    ColumnTypes = "N,C0,c4,C5,,C2";
    EXPECT_EQ(Mode(NewsState::InGroup), "N,C0,c4,C5,,C2|(host)|<117>|<121>|(host)|(host)|<119>");
}

TEST_F(NewsPanelTest, RefusedProxyLoginIsSaidInTheUsersLanguage) {
    LoopbackPeer proxy([](int fd) {
        char request[7];                    // the methods offered, then the login
        recv(fd, request, 4, MSG_WAITALL);  // 5 2 0 2
        SendAllBytes(fd, "\x05\x02");
        recv(fd, request, 7, MSG_WAITALL);  // 1 4 user 0
        SendAllBytes(fd, "\x01\x01");
    });
    Options.Proxy.Url = {};
    Options.Proxy.Url.HostName = "127.0.0.1";
    Options.Proxy.Url.Port = proxy.Port();
    Options.Proxy.Url.UserName = "user";
    Options.Proxy.Socks5 = 1;
    TNewsProxyManager proxied(nullptr);
    TAccountOptions account;
    account.Url.HostName = "news.example.org";
    account.Url.Port = 119;
    proxied.SetAccount(account);
    try {
        proxied.OpenConnection();
        FAIL() << "the refused login was not reported";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, kSocksLoginRefused + 1);
        EXPECT_EQ(error.Message, "<163>");
    }
}

}  // namespace
}  // namespace kestrova::testing

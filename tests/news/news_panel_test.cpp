// What the connected panel shows and how it maps keys: shortcut descriptor, key bar per state,
// panel mode with column titles, the key table and the key actions the session carries out.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "net/loopback_peer.h"
#include "net/proxy_socket.h"
#include "net/socks_error_text.h"
#include "news/news_internet_manager.h"
#include "news/news_proxy_manager.h"
#include "temp_home.h"
#include "ui/char_tables.h"
#include "ui/fake_host.h"
#include "ui/key_context.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

constexpr unsigned kCtrl = PKF_CONTROL;
constexpr unsigned kAlt = PKF_ALT;
constexpr unsigned kShift = PKF_SHIFT;

class NewsPanelTest : public HostTest {
  protected:
    NewsPanelTest() : savedOptions_(Options), savedColumnTypes_(ColumnTypes) {
        Options.Connect.CreateLog = 0;
        KeyBarTitles = {};
    }
    ~NewsPanelTest() override {
        Options = savedOptions_;
        ColumnTypes = savedColumnTypes_;
        KeyBarTitles = {};
    }

    TempHomeForTest home;
    TNewsInternetManager manager{nullptr};

  private:
    TPluginOptions savedOptions_;
    std::string savedColumnTypes_;
};

std::string LabelText(const char* label) {
    return label != nullptr ? label : "(host)";
}

TEST(NewsKeyActionTest, FirstMatchingRowGivesTheAction) {
    using S = NewsState;
    struct Case {
        S state;
        int key;
        unsigned control;
        int action;
    };
    const Case cases[] = {
        // every state
        {S::InGroup, VK_F6, 0, kActionSwallow},
        {S::OwnGroups, VK_F4, kAlt, kActionSwallow},
        {S::AllGroups, VK_F8, kShift, kActionSwallow},
        {S::InGroup, VK_F7, kShift, kActionChooseCharset},
        {S::OwnGroups, 'R', kCtrl, kActionRefresh},
        {S::InGroup, 'R', kCtrl | PKF_PREPROCESS, kActionRefresh},
        // own groups
        {S::OwnGroups, VK_F5, 0, kActionSwallow},
        {S::OwnGroups, VK_F4, kShift, kActionSwallow},
        {S::OwnGroups, VK_F7, 0, kActionGroups},
        {S::OwnGroups, VK_F8, 0, kActionDropGroups},
        {S::OwnGroups, VK_RETURN, 0, kActionNone},
        {S::OwnGroups, 'R', kCtrl | kAlt, kActionNone},
        // all groups (and while posting)
        {S::AllGroups, VK_F8, 0, kActionSwallow},
        {S::AllGroups, VK_RETURN, 0, kActionGroups},
        {S::Posting, VK_F7, 0, kActionGroups},
        {S::AllGroups, VK_F7, kAlt, kActionAskMask},
        {S::AllGroups, 'R', kCtrl | kAlt, kActionReload},
        // in a group
        {S::InGroup, VK_F7, 0, kActionSwallow},
        {S::InGroup, VK_F3, 0, kActionViewBody},
        {S::InGroup, VK_F3, kShift, kActionViewHeader},
        {S::InGroup, VK_F4, 0, kActionReply},
        {S::InGroup, VK_F4, kShift, kActionNewArticle},
        {S::InGroup, 'R', kCtrl | kAlt, kActionReload},
        {S::InGroup, VK_RETURN, 0, kActionNone},
        {S::InGroup, VK_F3, kCtrl, kActionNone},
        {S::InGroup, VK_F5, 0, kActionNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NewsKeyAction(c.state, c.key, c.control), c.action)
            << "state " << static_cast<int>(c.state) << " key " << c.key << " control "
            << c.control;
    }
}

TEST_F(NewsPanelTest, ActionsOfThePanelAreNotHandledHere) {
    manager.State = NewsState::InGroup;
    const std::pair<int, unsigned> keys[] = {{VK_F3, 0}, {VK_F4, 0}, {VK_F4, kShift}, {VK_F6, 0}};
    for (const auto& [key, control] : keys) {
        TKeyContext context;
        int action = 0;
        EXPECT_FALSE(manager.ProcessKey(key, control, context, action)) << key;
        EXPECT_NE(action, 0) << key;
        EXPECT_EQ(context.Flags, 0u) << key;
    }
    TKeyContext context;
    int action = 0;
    EXPECT_FALSE(manager.ProcessKey(VK_F5, 0, context, action));
    EXPECT_EQ(action, 0);
}

TEST_F(NewsPanelTest, CharsetChoiceChangesTheAccountTable) {
    manager.Account.CharTable = kNoSlot;
    host.menuAnswers = {2, -1};  // the first filled slot, then Esc
    TKeyContext context;
    int action = 0;
    EXPECT_TRUE(manager.ProcessKey(VK_F7, kShift, context, action));
    EXPECT_EQ(action, kActionChooseCharset);
    EXPECT_EQ(manager.Account.CharTable, 0);
    EXPECT_EQ(context.Flags, kKeyRedrawPanel | kKeyUpdatePanel);

    TKeyContext unchanged;
    EXPECT_TRUE(manager.ProcessKey(VK_F7, kShift, unchanged, action));
    EXPECT_EQ(manager.Account.CharTable, 0);
    EXPECT_EQ(unchanged.Flags, 0u);
}

TEST_F(NewsPanelTest, ReloadOfAGroupDropsItsIndexAfterConfirmation) {
    const char index[20] = {};
    manager.State = NewsState::InGroup;
    manager.Path = "alt.test";
    manager.Cache->Put("alt.test", index, false, sizeof index);
    std::vector<char> data;

    host.messageAnswers = {1};  // declined
    TKeyContext declined;
    int action = 0;
    EXPECT_TRUE(manager.ProcessKey('R', kCtrl | kAlt, declined, action));
    EXPECT_EQ(declined.Flags, 0u);
    EXPECT_TRUE(manager.Cache->Get("alt.test", data));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].items, (std::vector<std::string>{"<141>", "<142>", "<1>", "<2>"}));

    host.messageAnswers = {0};
    TKeyContext accepted;
    EXPECT_TRUE(manager.ProcessKey('R', kCtrl | kAlt, accepted, action));
    EXPECT_EQ(action, kActionReload);
    EXPECT_EQ(accepted.Flags, kKeyRedrawPanel | kKeyUpdatePanel);
    EXPECT_FALSE(manager.Cache->Get("alt.test", data));
    EXPECT_EQ(manager.UpdateGroup, 1);
    EXPECT_EQ(manager.State, NewsState::InGroup);
}

TEST_F(NewsPanelTest, DescriptorCarriesTheAccountWithoutCredentials) {
    TAccountOptions& account = manager.Account;
    account.Url = {"news", "news.example.org", 119, "bob", "secret", "", ""};
    account.FromName = "Ann Lee";
    account.FromAddr = "ann@example.org";
    account.Organization = "Kestrel Works";
    account.CharTable = kNoSlot;
    account.AskPassword = 1;
    OpenPluginInfo info{};
    std::string descriptor;
    manager.GetOpenPluginInfo(info, descriptor);
    const std::string head = "110  7Ann Lee 15ann@example.org  0 13Kestrel Works.default";
    EXPECT_EQ(descriptor, "0" + std::to_string(head.size()) + head + "news://news.example.org:119");
    EXPECT_EQ(info.Flags, OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEATTRHIGHLIGHTING);
    EXPECT_EQ(info.InfoLinesNumber, 2);
    EXPECT_EQ(info.PanelModesNumber, 0);  // the host's modes unless ReplaceModes is set
}

TEST_F(NewsPanelTest, KeyBarFollowsTheState) {
    using S = NewsState;
    struct Case {
        S state;
        char* const* row;
        int functionKey;
        const char* label;
    };
    const ::KeyBarTitles& bar = KeyBarTitles;
    const Case cases[] = {
        {S::OwnGroups, bar.Titles, 6, "<0>"},      {S::OwnGroups, bar.ShiftTitles, 7, "<109>"},
        {S::OwnGroups, bar.Titles, 7, "<105>"},    {S::OwnGroups, bar.Titles, 8, "<106>"},
        {S::OwnGroups, bar.Titles, 3, "<0>"},      {S::OwnGroups, bar.AltTitles, 5, "<0>"},
        {S::OwnGroups, bar.Titles, 2, "(host)"},   {S::AllGroups, bar.Titles, 8, "<0>"},
        {S::AllGroups, bar.Titles, 7, "<105>"},    {S::AllGroups, bar.ShiftTitles, 4, "<0>"},
        {S::InGroup, bar.Titles, 7, "<0>"},        {S::InGroup, bar.Titles, 8, "<0>"},
        {S::InGroup, bar.Titles, 4, "<107>"},      {S::InGroup, bar.ShiftTitles, 4, "<108>"},
        {S::InGroup, bar.ShiftTitles, 3, "<110>"}, {S::InGroup, bar.Titles, 3, "(host)"},
        {S::InGroup, bar.ShiftTitles, 1, "<0>"},   {S::InGroup, bar.AltTitles, 4, "<0>"},
    };
    for (const Case& c : cases) {
        KeyBarTitles = {};
        manager.State = c.state;
        OpenPluginInfo info{};
        std::string descriptor;
        manager.GetOpenPluginInfo(info, descriptor);
        EXPECT_EQ(LabelText(c.row[c.functionKey - 1]), c.label)
            << "state " << static_cast<int>(c.state) << " F" << c.functionKey;
    }
}

std::vector<std::string> Titles(const PanelMode& mode, size_t count) {
    std::vector<std::string> titles;
    for (size_t i = 0; i < count; ++i) titles.push_back(LabelText(mode.ColumnTitles[i]));
    return titles;
}

TEST_F(NewsPanelTest, ReplacedModeHasFixedGroupColumnsAndTitledArticleColumns) {
    Options.ReplaceModes = 1;
    OpenPluginInfo info{};
    std::string descriptor;
    manager.State = NewsState::OwnGroups;
    manager.GetOpenPluginInfo(info, descriptor);
    ASSERT_EQ(info.PanelModesNumber, 1);
    EXPECT_STREQ(info.PanelModesArray[0].ColumnTypes, "N,C0,C1,A");
    EXPECT_STREQ(info.PanelModesArray[0].ColumnWidths, "0,5,5,4");
    EXPECT_STREQ(info.PanelModesArray[0].StatusColumnTypes, "N");
    EXPECT_EQ(Titles(info.PanelModesArray[0], 4),
              (std::vector<std::string>{"(host)", "<111>", "<112>", "(host)"}));

    ColumnTypes = "N,C0,c4,C5,,C2";
    manager.State = NewsState::InGroup;
    manager.GetOpenPluginInfo(info, descriptor);
    EXPECT_STREQ(info.PanelModesArray[0].ColumnTypes, "N,C0,c4,C5,,C2");
    EXPECT_EQ(Titles(info.PanelModesArray[0], 6),
              (std::vector<std::string>{"(host)", "<117>", "<121>", "(host)", "(host)", "<119>"}));
}

TEST_F(NewsPanelTest, ProxyManagerTalksThroughTheProxyOfTheOptions) {
    const std::pair<int, int> cases[] = {{0, 4}, {1, 5}};
    for (const auto& [socks5, version] : cases) {
        Options.Proxy.Url.HostName = "proxy.example.org";
        Options.Proxy.Url.Port = 1081;
        Options.Proxy.Socks5 = socks5;
        TNewsProxyManager proxied(nullptr);
        auto* socket = dynamic_cast<TProxySocket*>(proxied.Socket.get());
        ASSERT_NE(socket, nullptr);
        EXPECT_EQ(socket->Version, version);
        EXPECT_EQ(socket->Proxy.HostName, "proxy.example.org");
        EXPECT_EQ(socket->Proxy.Port, 1081);
    }
    EXPECT_EQ(dynamic_cast<TProxySocket*>(manager.Socket.get()), nullptr);
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
    proxied.Account.Url.HostName = "news.example.org";
    proxied.Account.Url.Port = 119;
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

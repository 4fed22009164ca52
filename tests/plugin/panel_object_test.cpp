#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/errors.h"
#include "panel_fixture.h"
#include "plugin/shortcut_data.h"
#include "store/reg_ini_file.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

using Lines = std::vector<std::string>;

TEST_F(PanelTest, ViewModeIsRememberedPerModeAndGivenBackOnClose) {
    panelInfo.ViewMode = 2;  // the host panel's own mode
    {
        TNntpPlugin panel;
        OpenPluginInfo info{};
        panel.GetOpenPluginInfo(info);
        EXPECT_EQ(panel.SavedViewMode, 2);
        EXPECT_EQ(ViewModesSet(), std::vector<int>{0});  // registry mode starts in mode 0
        panel.GetOpenPluginInfo(info);
        EXPECT_EQ(ViewModesSet(), std::vector<int>{0});  // applied once per mode

        panelInfo.ViewMode = 5;  // the user picks another mode
        EXPECT_EQ(panel.ProcessEvent(FE_CHANGEVIEWMODE, nullptr), 0);
    }
    EXPECT_EQ(TRegIniFile(OptionsKey).ReadInteger("", "Registry mode", -1), 5);
    EXPECT_EQ(ViewModesSet(), (std::vector<int>{0, 2}));  // closing restores the host's mode

    controls.clear();
    TNntpPlugin reopened;
    OpenPluginInfo info{};
    reopened.GetOpenPluginInfo(info);
    EXPECT_EQ(ViewModesSet(), std::vector<int>{5});
}

TEST_F(PanelTest, InternetModeKeepsTheHostsModeUntilOneIsPicked) {
    TNntpPlugin panel;
    panel.RestoreViewMode(PluginMode::Internet);
    EXPECT_TRUE(ViewModesSet().empty());
    panelInfo.ViewMode = 3;
    panel.SaveViewMode(PluginMode::Internet);
    panel.RestoreViewMode(PluginMode::Internet);
    EXPECT_EQ(ViewModesSet(), std::vector<int>{3});
}

TEST_F(PanelTest, ViewModeFailuresAreSwallowed) {
    refusePanelInfo = true;
    TNntpPlugin panel;
    panel.SaveViewMode(PluginMode::Registry);
    EXPECT_EQ(TRegIniFile(OptionsKey).ReadInteger("", "Registry mode", -1), -1);
}

TEST_F(PanelTest, AClosingPanelListsNothingAndLeavesTheInformationAlone) {
    TNntpPlugin panel;
    panel.Mode = PluginMode::Closing;
    PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(0x1);
    int count = 7;
    EXPECT_EQ(panel.GetFindData(&items, &count, 0), 1);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(savedScreens + restoredScreens, 0);  // no operation ran
    char name[NM] = "";
    EXPECT_EQ(panel.MakeDirectory(name, OPM_SILENT), 0);
    OpenPluginInfo info{};
    panel.GetOpenPluginInfo(info);
    EXPECT_EQ(info.StructSize, 0);
    panel.Mode = PluginMode::Registry;
}

TEST_F(PanelTest, PanelInformation) {
    TNntpPlugin panel;
    static char label[] = "old";
    KeyBarTitles.CtrlTitles[3] = label;
    OpenPluginInfo info{};
    info.Flags = OPIF_USEFILTER;
    panel.GetOpenPluginInfo(info);
    EXPECT_EQ(info.Flags, OPIF_USEFILTER | OPIF_ADDDOTS | OPIF_SHOWPRESERVECASE |
                              OPIF_COMPAREFATTIME | OPIF_USEATTRHIGHLIGHTING);
    EXPECT_STREQ(info.Format, "news");
    EXPECT_EQ(KeyBarTitles.CtrlTitles[3], nullptr);  // cleared before the manager's labels
}

TEST_F(PanelTest, EnteringAMissingFolderShowsTheStoreError) {
    host.texts[58] = "%s in %s";
    host.texts[22] = "Folder '%s' does not exist";
    TNntpPlugin panel;
    host.messageAnswers = {0, 0};
    EXPECT_EQ(panel.SetDirectory("Nowhere", 0), 1);
    EXPECT_EQ(panel.SetDirectory("Nowhere", OPM_SILENT), 0);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].items,
              (Lines{"ERegistryError in SetDirectory", "Folder 'Nowhere' does not exist", "<1>"}));
    EXPECT_EQ(panel.PanelTitle, "Kestrova:\\");
}

TEST(ShortcutData, Parse) {
    const struct {
        std::string data;
        bool valid;
        bool internet;
        std::string host;
        uint16_t port;
        std::vector<std::string> fields;  // FromName, FromAddr, ReplyTo, Organization
        std::string table;
        int askPassword;
        std::string tail;
    } cases[] = {
        {"00", false, false, "", 0, {}, "", 0, ""},
        {"009000  0  0\\News", true, false, "", 0, {}, "", 0, "\\News"},
        {"039110  3Ann 11a@b.example  0  3Org.koi8-rnews://srv.example:1190/x",
         true,
         true,
         "srv.example",
         1190,
         {"Ann", "a@b.example", "", "Org"},
         ".koi8-r",
         1,
         "news://srv.example:1190/x"},
        {" 19100003Ann000  0  0Xhost", true, true, "host", 0, {"Ann", "", "", ""}, "X", 0, "host"},
        {"0991", true, true, "", 0, {"", "", "", ""}, "", 0, ""},
        {"x1z1abc", true, false, "", 0, {}, "", 0, "1abc"},
        {"009100  9abc", true, true, "", 0, {"abc", "", "", ""}, "", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        TShortcut s;
        ASSERT_EQ(ParseShortcut(c.data, s), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(s.Internet, c.internet);
        EXPECT_EQ(s.Tail, c.tail);
        if (!c.internet) continue;
        EXPECT_EQ(s.Account.Url.HostName, c.host);
        EXPECT_EQ(s.Account.Url.Port, c.port);
        EXPECT_EQ((std::vector<std::string>{s.Account.FromName, s.Account.FromAddr,
                                            s.Account.ReplyTo, s.Account.Organization}),
                  c.fields);
        EXPECT_EQ(s.CharTableName, c.table);
        EXPECT_EQ(s.Account.AskPassword, c.askPassword);
        EXPECT_EQ(s.Account.UseProxy, 0);
    }
}

TEST(PanelEntryPointsTest, InvalidHandleGetsNeutralAnswers) {
    PluginPanelItem* items = nullptr;
    int count = 5;
    EXPECT_EQ(GetFindData(INVALID_HANDLE_VALUE, &items, &count, 0), 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ProcessKey(INVALID_HANDLE_VALUE, VK_RETURN, 0), 0);
    ClosePlugin(INVALID_HANDLE_VALUE);
}

// The host hands over the file's path and its first bytes; an account file without a readable
// account still opens the panel, in registry mode.
TEST_F(PanelTest, OpenFilePluginClaimsOnlyAccountFiles) {
    const std::string path = settings.store.Folder() + "/server.ini";
    for (const auto& [data, claimed] :
         std::vector<std::pair<std::string, bool>>{{"[Kestrova]\r\nHost=news.example\r\n", true},
                                                   {"[Kestrova]", true},
                                                   {"[KESTROVA]\r\n", true},
                                                   {"[Kestrova", false},
                                                   {"[Settings]\r\nA=1\r\n", false},
                                                   {" [Kestrova]\r\n", false},
                                                   {"", false}}) {
        std::ofstream(path, std::ios::binary) << data;
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
        HANDLE panel = OpenFilePlugin(path.c_str(), bytes, static_cast<int>(data.size()));
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(panel != INVALID_HANDLE_VALUE, claimed) << data;
        if (panel != INVALID_HANDLE_VALUE) ClosePlugin(panel);
    }
    EXPECT_EQ(OpenFilePlugin("x", nullptr, 10), INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace kestrova::testing

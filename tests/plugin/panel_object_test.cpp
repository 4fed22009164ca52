#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "panel_fixture.h"
#include "plugin/shortcut_data.h"
#include "store/reg_ini_file.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

// View modes as the host shows them are checked by the news_view_modes script.
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

TEST_F(PanelTest, KeyBarLabelsAreClearedBeforeTheManagersOwn) {
    TNntpPlugin panel;
    static char label[] = "old";
    KeyBarTitles.CtrlTitles[3] = label;
    OpenPluginInfo info{};
    panel.GetOpenPluginInfo(info);
    EXPECT_EQ(KeyBarTitles.CtrlTitles[3], nullptr);
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
              (std::vector<std::string>{"ERegistryError in SetDirectory",
                                        "Folder 'Nowhere' does not exist", "<1>"}));
    EXPECT_EQ(panel.PanelTitle, "Kestrova:\\");
}

// A parsed shortcut in one line: "registry TAIL", or the account's host, port, author fields,
// character table, AskPassword and UseProxy, and the tail.
std::string ParsedShortcut(const std::string& data) {
    TShortcut s;
    if (!ParseShortcut(data, s)) return "invalid";
    if (!s.Internet) return "registry " + s.Tail;
    const TAccountOptions& a = s.Account;
    return a.Url.HostName + ":" + std::to_string(a.Url.Port) + " " + a.FromName + "|" + a.FromAddr +
           "|" + a.ReplyTo + "|" + a.Organization + " " + s.CharTableName + " " +
           std::to_string(a.AskPassword) + std::to_string(a.UseProxy) + std::to_string(a.Secure) +
           " " + s.Tail;
}

TEST(ShortcutData, Parse) {
    const std::pair<std::string, std::string> cases[] = {
        {"00", "invalid"},
        {"009000  0  0\\News", "registry \\News"},
        {"039110  3Ann 11a@b.example  0  3Org.koi8-rnews://srv.example:1190/x",
         "srv.example:1190 Ann|a@b.example||Org .koi8-r 100 news://srv.example:1190/x"},
        {"039210  3Ann 11a@b.example  0  3Org.koi8-rnews://srv.example:1190/x",
         "srv.example:1190 Ann|a@b.example||Org .koi8-r 102 news://srv.example:1190/x"},
        {" 19100003Ann000  0  0Xhost", "host:0 Ann||| X 000 host"},
        {"0991", ":0 |||  000 "},
        {"x1z1abc", "registry 1abc"},
        {"009100  9abc", ":0 abc|||  000 "},
        {"009300  9abc", "registry "},
    };
    for (const auto& [data, parsed] : cases) EXPECT_EQ(ParsedShortcut(data), parsed) << data;
}

TEST(PanelEntryPointsTest, InvalidHandleGetsNeutralAnswers) {
    PluginPanelItem* items = nullptr;
    int count = 5;
    EXPECT_EQ(GetFindData(INVALID_HANDLE_VALUE, &items, &count, 0), 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ProcessKey(INVALID_HANDLE_VALUE, VK_RETURN, 0), 0);
    ClosePlugin(INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenFilePlugin("x", nullptr, 10), INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace kestrova::testing

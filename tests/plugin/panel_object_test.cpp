#include <gtest/gtest.h>

#include <cstring>
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

std::vector<std::string> Names(PluginPanelItem* items, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(items[i].FindData.cFileName);
    return names;
}

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

TEST_F(PanelTest, GetFindDataAfterClosingBeganReturnsNothing) {
    TNntpPlugin panel;
    panel.Mode = PluginMode::Closing;
    PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(0x1);
    int count = 7;
    EXPECT_EQ(panel.GetFindData(&items, &count, 0), 1);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(savedScreens + restoredScreens, 0);  // no operation ran
    panel.Mode = PluginMode::Registry;
}

TEST_F(PanelTest, AFreshStoreListsThePlaceholder) {
    TNntpPlugin panel;
    PluginPanelItem* items = nullptr;
    int count = 0;
    EXPECT_EQ(panel.GetFindData(&items, &count, 0), 1);
    EXPECT_EQ(Names(items, count), std::vector<std::string>{"<26>"});
    EXPECT_EQ(items[0].UserData, kPlaceholderItem);
    panel.FreeFindData(items, count);
    EXPECT_EQ(savedScreens, 0);
    EXPECT_EQ(panel.OpFlags, 0u);
}

TEST_F(PanelTest, PanelInformation) {
    TNntpPlugin panel;
    static char label[] = "old";
    KeyBarTitles.CtrlTitles[3] = label;
    OpenPluginInfo info{};
    info.Flags = OPIF_USEFILTER;
    panel.GetOpenPluginInfo(info);
    EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(OpenPluginInfo)));
    EXPECT_EQ(info.Flags, OPIF_USEFILTER | OPIF_ADDDOTS | OPIF_SHOWPRESERVECASE |
                              OPIF_COMPAREFATTIME | OPIF_USEATTRHIGHLIGHTING);
    EXPECT_STREQ(info.PanelTitle, "Kestrova:\\");
    EXPECT_STREQ(info.CurDir, "\\");
    EXPECT_STREQ(info.Format, "news");
    EXPECT_STREQ(info.ShortcutData, "009000  0  0\\");
    EXPECT_EQ(info.StartSortOrder, 1);
    EXPECT_EQ(info.KeyBar, &KeyBarTitles);
    EXPECT_EQ(KeyBarTitles.CtrlTitles[3], nullptr);  // cleared before the manager's labels
    EXPECT_STREQ(KeyBarTitles.ShiftTitles[3], "<48>");
    EXPECT_EQ(info.InfoLines, InfoLines);
}

TEST_F(PanelTest, InactivePanelLeavesTheInformationAlone) {
    TNntpPlugin panel;
    panel.Mode = PluginMode::Closing;
    OpenPluginInfo info{};
    panel.GetOpenPluginInfo(info);
    EXPECT_EQ(info.StructSize, 0);
    panel.Mode = PluginMode::Registry;
}

struct MakeFolderCase {
    const char* name;
    int opMode;
    FakeHost::DialogAnswer answer;  // null: no dialog expected
    int result;
    std::vector<std::string> listed;
};

class MakeDirectoryCases : public PanelTest,
                           public ::testing::WithParamInterface<MakeFolderCase> {};

TEST_P(MakeDirectoryCases, Answer) {
    const MakeFolderCase& c = GetParam();
    TNntpPlugin panel;
    if (c.answer) host.dialogAnswers.push_back(c.answer);
    char name[NM] = "";
    EXPECT_EQ(panel.MakeDirectory(name, c.opMode), c.result);
    EXPECT_EQ(host.dialogs.size(), c.answer ? 1u : 0u);
    PluginPanelItem* items = nullptr;
    int count = 0;
    panel.GetFindData(&items, &count, OPM_SILENT);
    EXPECT_EQ(Names(items, count), c.listed);
    panel.FreeFindData(items, count);
    if (c.result == 1) {
        EXPECT_STREQ(name, c.listed[0].c_str());
    }
}

// The input dialog's edit field is item 2 (frame, prompt, edit).
INSTANTIATE_TEST_SUITE_P(
    Cases, MakeDirectoryCases,
    ::testing::Values(MakeFolderCase{"Silent", OPM_SILENT, nullptr, 0, {"<26>"}},
                      MakeFolderCase{"Cancelled", 0, FakeHost::Close(-1), -1, {"<26>"}},
                      MakeFolderCase{"Blank", 0, FakeHost::Close(2, {{2, "  \t"}}), 0, {"<26>"}},
                      MakeFolderCase{"Made", 0, FakeHost::Close(2, {{2, "News"}}), 1, {"News"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, AStoreFailureWhileMakingAFolderIsReported) {
    host.texts[58] = "%s in %s";
    host.texts[23] = "Cannot create folder '%s'";
    TRegIniFile(OptionsKey + "HOSTS").WriteString("srv", "Url", "srv");  // an account
    TNntpPlugin panel;
    host.dialogAnswers.push_back(FakeHost::Close(2, {{2, "srv"}}));
    host.messageAnswers = {0};
    char name[NM] = "";
    EXPECT_EQ(panel.MakeDirectory(name, 0), 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].items,
              (Lines{"ERegistryError in MakeDirectory", "Cannot create folder 'srv'", "<1>"}));
}

TEST_F(PanelTest, DotDotAtTheTopLeavesTheModuleWithoutPrivateHosts) {
    TNntpPlugin panel;
    EXPECT_EQ(panel.SetDirectory("..", 0), 1);
    EXPECT_EQ(Commands(), std::vector<int>{FCTL_CLOSEPLUGIN});
    EXPECT_TRUE(host.messages.empty());
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

TEST_F(PanelTest, EnteringAFolderRenamesThePanel) {
    TRegIniFile(OptionsKey + "HOSTS").WriteString("News", "Folder", "1");
    TNntpPlugin panel;
    EXPECT_EQ(panel.SetDirectory("News", 0), 1);
    EXPECT_EQ(panel.PanelTitle, "Kestrova:\\News");
    EXPECT_EQ(panel.CurDir, "\\News");
}

struct ShortcutCase {
    const char* name;
    std::string data;
    bool valid;
    bool internet;
    std::string host;
    uint16_t port;
    std::vector<std::string> fields;  // FromName, FromAddr, ReplyTo, Organization
    std::string table;
    int askPassword, useProxy;
    std::string tail;
};

class ShortcutCases : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(ShortcutCases, Parse) {
    const ShortcutCase& c = GetParam();
    TShortcut s;
    ASSERT_EQ(ParseShortcut(c.data, s), c.valid);
    if (!c.valid) return;
    EXPECT_EQ(s.Internet, c.internet);
    EXPECT_EQ(s.Tail, c.tail);
    if (!c.internet) return;
    EXPECT_EQ(s.Account.Url.HostName, c.host);
    EXPECT_EQ(s.Account.Url.Port, c.port);
    EXPECT_EQ((std::vector<std::string>{s.Account.FromName, s.Account.FromAddr, s.Account.ReplyTo,
                                        s.Account.Organization}),
              c.fields);
    EXPECT_EQ(s.CharTableName, c.table);
    EXPECT_EQ(s.Account.AskPassword, c.askPassword);
    EXPECT_EQ(s.Account.UseProxy, c.useProxy);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortcutCases,
    ::testing::Values(
        ShortcutCase{"TooShort", "00", false, false, "", 0, {}, "", 0, 0, ""},
        ShortcutCase{"Registry", "009000  0  0\\News", true, false, "", 0, {}, "", 0, 0, "\\News"},
        ShortcutCase{"Internet",
                     "039110  3Ann 11a@b.example  0  3Org.koi8-rnews://srv.example:1190/x",
                     true,
                     true,
                     "srv.example",
                     1190,
                     {"Ann", "a@b.example", "", "Org"},
                     ".koi8-r",
                     1,
                     0,
                     "news://srv.example:1190/x"},
        ShortcutCase{"LengthsWithSpacesOrZeros",
                     " 19100003Ann000  0  0Xhost",
                     true,
                     true,
                     "host",
                     0,
                     {"Ann", "", "", ""},
                     "X",
                     0,
                     0,
                     "host"},
        ShortcutCase{"LengthPastTheEnd", "0991", true, true, "", 0, {"", "", "", ""}, "", 0, 0, ""},
        ShortcutCase{"LengthNotANumber", "x1z1abc", true, false, "", 0, {}, "", 0, 0, "1abc"},
        ShortcutCase{"FieldLengthPastTheHead",
                     "009100  9abc",
                     true,
                     true,
                     "",
                     0,
                     {"abc", "", "", ""},
                     "",
                     0,
                     0,
                     ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, RegistryShortcutEntersItsFolder) {
    TRegIniFile(OptionsKey + "HOSTS").WriteString("News", "Folder", "1");
    TNntpPlugin panel;
    panel.OpenShortcut("009000  0  0\\News");
    EXPECT_EQ(panel.RegistryManager->Path, "\\News");
    EXPECT_EQ(panel.PanelTitle, "Kestrova:\\News");
    EXPECT_THROW(panel.OpenShortcut("09"), EAbort);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(PanelTest, CommandLineWithoutAHostStaysInRegistryMode) {
    TNntpPlugin panel;
    for (const char* text : {"", "//", "///group"}) {
        panel.OpenCommandLine(text);
        EXPECT_EQ(panel.Mode, PluginMode::Registry) << text;
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(PanelTest, AFailedConnectionIsReportedOnceAndLeavesRegistryMode) {
    host.texts[58] = "%s in %s";
    Options.Connect.RetryCount = 1;
    TNntpPlugin panel;
    // Nothing listens on port 1 of the loopback: the connection is refused. The question is
    // answered with its last button, and the abort stays silent.
    host.messageAnswers = {1};
    try {
        panel.OpenCommandLine("//127.0.0.1:1/");
        ADD_FAILURE() << "the connection did not fail";
    } catch (const Exception&) {
    }
    EXPECT_EQ(panel.Mode, PluginMode::Registry);
    EXPECT_EQ(panel.InternetManager, nullptr);
    EXPECT_EQ(panel.PanelTitle, "Kestrova:\\");
    // Status boxes while connecting, then the one question; no error box follows the stop.
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().buttons, 2);
    for (size_t i = 0; i + 1 < host.messages.size(); ++i) EXPECT_EQ(host.messages[i].buttons, 0);
}

}  // namespace
}  // namespace kestrova::testing

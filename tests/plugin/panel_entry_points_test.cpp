#include <gtest/gtest.h>

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {
namespace {

TEST(PanelEntryPointsTest, OpenedPanelAnswersInactiveUntilClosed) {
    for (int openFrom : {OPEN_DISKMENU, OPEN_PLUGINSMENU, OPEN_COMMANDLINE}) {
        HANDLE panel = OpenPlugin(openFrom, reinterpret_cast<intptr_t>(""));
        ASSERT_NE(panel, INVALID_HANDLE_VALUE);
        ASSERT_NE(panel, nullptr);

        PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(0x1);
        int count = -1;
        EXPECT_EQ(GetFindData(panel, &items, &count, 0), 1);
        EXPECT_EQ(items, nullptr);
        EXPECT_EQ(count, 0);
        FreeFindData(panel, items, count);
        EXPECT_EQ(ProcessKey(panel, VK_F7, 0), 0);
        EXPECT_EQ(SetDirectory(panel, "group", 0), 0);
        EXPECT_EQ(ProcessEvent(panel, FE_CHANGEVIEWMODE, nullptr), 0);
        ClosePlugin(panel);
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

struct FileCase {
    const char* name;
    std::string data;
    bool claimed;
};

class OpenFilePluginTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(OpenFilePluginTest, ClaimsOnlyAccountFiles) {
    const FileCase& c = GetParam();
    const auto* bytes = reinterpret_cast<const unsigned char*>(c.data.data());
    HANDLE panel = OpenFilePlugin("/home/user/server.ini", bytes, static_cast<int>(c.data.size()));
    EXPECT_EQ(panel != INVALID_HANDLE_VALUE, c.claimed);
    if (panel != INVALID_HANDLE_VALUE) ClosePlugin(panel);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenFilePluginTest,
                         ::testing::Values(FileCase{"AccountFile",
                                                    "[Kestrova]\r\nHost=news.example\r\n", true},
                                           FileCase{"HeaderOnly", "[Kestrova]", true},
                                           FileCase{"OtherCase", "[KESTROVA]\r\n", true},
                                           FileCase{"ShorterThanHeader", "[Kestrova", false},
                                           FileCase{"OtherSection", "[Settings]\r\nA=1\r\n", false},
                                           FileCase{"LeadingSpace", " [Kestrova]\r\n", false},
                                           FileCase{"Empty", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OpenFilePluginNullTest, NoDataIsNotClaimed) {
    EXPECT_EQ(OpenFilePlugin("x", nullptr, 10), INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace kestrova

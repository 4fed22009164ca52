#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "hostapi/plugin_api.h"
#include "panel_fixture.h"

namespace kestrova {
namespace {

using testing::PanelTest;

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

class OpenFilePluginTest : public testing::PanelTest,
                           public ::testing::WithParamInterface<FileCase> {};

// The host hands over the file's path and its first bytes; an account file without a readable
// account still opens the panel, in registry mode.
TEST_P(OpenFilePluginTest, ClaimsOnlyAccountFiles) {
    const FileCase& c = GetParam();
    const std::string path = settings.store.Folder() + "/server.ini";
    std::ofstream(path, std::ios::binary) << c.data;
    const auto* bytes = reinterpret_cast<const unsigned char*>(c.data.data());
    HANDLE panel = OpenFilePlugin(path.c_str(), bytes, static_cast<int>(c.data.size()));
    EXPECT_TRUE(host.messages.empty());
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

TEST_F(PanelTest, NoDataIsNotClaimed) {
    EXPECT_EQ(OpenFilePlugin("x", nullptr, 10), INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace kestrova

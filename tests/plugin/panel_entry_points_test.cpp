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
}  // namespace kestrova

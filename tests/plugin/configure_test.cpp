#include <gtest/gtest.h>

#include <stdexcept>

#include "hostapi/plugin_api.h"
#include "ui/fake_host.h"
#include "ui/product_info.h"

namespace kestrova {
namespace {

using testing::FakeHost;

class ConfigureTest : public testing::HostTest {
  protected:
    int MarkedEntry(size_t menu) {
        const auto& items = host.menus.at(menu).items;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].Selected) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(ConfigureTest, MenuHasEightEntriesWithTheSeparatorAndEndsOnEsc) {
    host.menuAnswers = {-1};
    EXPECT_EQ(Configure(0), 1);
    ASSERT_EQ(host.menus.size(), 1u);
    const auto& menu = host.menus[0];
    EXPECT_EQ(menu.title, "<74>");
    ASSERT_EQ(menu.items.size(), 8u);
    const char* texts[] = {"<75>", "<76>", "<77>", "<78>", "<79>", "<59>", "", "<80>"};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_STREQ(menu.items[i].Text, texts[i]) << i;
        EXPECT_EQ(menu.items[i].Separator, i == 6 ? 1 : 0) << i;
    }
    EXPECT_EQ(MarkedEntry(0), 0);
}

TEST_F(ConfigureTest, ReopensOnTheEntryLastChosen) {
    // Entries 1 (connection) and 3 (proxy) each open their dialog, cancelled here.
    host.menuAnswers = {1, 3, -1};
    host.dialogAnswers = {FakeHost::Close(-1), FakeHost::Close(-1)};
    EXPECT_EQ(Configure(0), 1);
    ASSERT_EQ(host.menus.size(), 3u);
    EXPECT_EQ(MarkedEntry(0), 0);
    EXPECT_EQ(MarkedEntry(1), 1);
    EXPECT_EQ(MarkedEntry(2), 3);
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.dialogs[0].helpTopic, "dlgConnection");
    EXPECT_EQ(host.dialogs[1].helpTopic, "dlgProxy");
}

TEST_F(ConfigureTest, LastEntryShowsTheProductInformation) {
    host.menuAnswers = {7, -1};
    host.messageAnswers = {0};
    EXPECT_EQ(Configure(0), 1);
    ASSERT_EQ(host.messages.size(), 1u);
    const auto& box = host.messages[0];
    EXPECT_EQ(box.flags, 0u);
    ASSERT_EQ(box.items.size(), static_cast<size_t>(kProductInfoLines + 2));
    EXPECT_EQ(box.items[0], "Tarnwick for FAR manger");
    EXPECT_EQ(box.items[1], "Kestrova, plugin version 1.0.b8");
    EXPECT_EQ(box.items.back(), "<1>");
    EXPECT_EQ(MarkedEntry(1), 7);
}

TEST_F(ConfigureTest, FailureEndsTheMenuWithZero) {
    host.menuAnswers = {0, -1};
    host.dialogAnswers = {
        [](std::vector<FarDialogItem>&) -> int { throw std::runtime_error("store unavailable"); }};
    EXPECT_EQ(Configure(0), 0);
    EXPECT_EQ(host.menus.size(), 1u);
}

TEST(ProductInfoTest, TwelveLinesThatFitTheInfoPanel) {
    ASSERT_EQ(ProductInfo.Count(), kProductInfoLines);
    for (int i = 0; i < ProductInfo.Count(); ++i)
        EXPECT_LT(ProductInfo[i].size(), sizeof(InfoPanelLine::Text)) << i;
}

}  // namespace
}  // namespace kestrova

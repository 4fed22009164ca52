#include <gtest/gtest.h>

#include <stdexcept>

#include "hostapi/plugin_api.h"
#include "ui/fake_host.h"
#include "ui/product_info.h"

namespace kestrova {
namespace {

// The menu itself and the About entry are checked by the configure_menu scripts.
using ConfigureTest = testing::HostTest;

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

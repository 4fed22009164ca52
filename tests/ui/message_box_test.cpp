#include "ui/message_box.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace kestrova {
namespace {

// One item shows its name (the registry script's deletion); several show the count, and only
// the first button goes on.
using MessageBoxTest = testing::HostTest;

TEST_F(MessageBoxTest, ConfirmDeleteCountsSeveralItemsAndGoesOnOnlyByTheFirstButton) {
    host.texts[46] = "Delete %d items?";
    PluginPanelItem items[3] = {};
    for (auto [answer, result] : {std::pair{0, 1}, {1, 2}, {-1, 2}}) {
        host.messageAnswers = {answer};
        EXPECT_EQ(ConfirmDelete(items, 3), result) << answer;
        EXPECT_EQ(host.messages.back().items[1], "Delete 3 items?");
    }
}

}  // namespace
}  // namespace kestrova

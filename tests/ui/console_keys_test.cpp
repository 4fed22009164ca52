#include "ui/console_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "hostapi/plugin_api.h"
#include "platform/console_input.h"

namespace kestrova {
namespace {

using platform::InputEvent;

InputEvent Down(uint16_t key) {
    return InputEvent{KEY_EVENT, true, key, 0, 0};
}

std::vector<uint16_t> PendingKeys() {
    std::vector<uint16_t> keys;
    for (const InputEvent& event : platform::PeekInput()) keys.push_back(event.VirtualKeyCode);
    return keys;
}

class ConsoleKeysTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::FlushInputQueue(); }
    void TearDown() override { platform::FlushInputQueue(); }
};

TEST_F(ConsoleKeysTest, CheckForKeyConsumesUpToTheFirstKeyDownOfTheKey) {
    const InputEvent escUp{KEY_EVENT, false, VK_ESCAPE, 0, 0}, escNoKey{2, true, VK_ESCAPE, 0, 0};
    const struct {
        std::vector<InputEvent> pending;
        bool found;
        std::vector<uint16_t> left;
    } cases[] = {
        {{}, false, {}},
        {{Down('A'), Down(VK_ESCAPE), Down('B')}, true, {'B'}},
        {{Down('A'), Down('B')}, false, {'A', 'B'}},
        {{escUp, Down('A')}, false, {VK_ESCAPE, 'A'}},  // a key up does not count
        {{escNoKey, Down('A')}, false, {VK_ESCAPE, 'A'}},
        {{escUp, Down(VK_ESCAPE), Down(VK_ESCAPE)}, true, {VK_ESCAPE}},
    };
    for (const auto& c : cases) {
        for (const InputEvent& event : c.pending) platform::PushInput(event);
        EXPECT_EQ(CheckForKey(VK_ESCAPE), c.found) << &c - cases;
        EXPECT_EQ(PendingKeys(), c.left) << &c - cases;
        FlushInput();
        EXPECT_TRUE(platform::PeekInput().empty());
    }
}

}  // namespace
}  // namespace kestrova

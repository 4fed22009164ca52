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
InputEvent Up(uint16_t key) {
    return InputEvent{KEY_EVENT, false, key, 0, 0};
}
InputEvent NotAKey(uint16_t key) {
    return InputEvent{2, true, key, 0, 0};
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
    const struct {
        std::vector<InputEvent> pending;
        bool found;
        std::vector<uint16_t> left;
    } cases[] = {
        {{}, false, {}},
        {{Down('A'), Down(VK_ESCAPE), Down('B')}, true, {'B'}},
        {{Down('A'), Down('B')}, false, {'A', 'B'}},
        {{Up(VK_ESCAPE), Down('A')}, false, {VK_ESCAPE, 'A'}},  // a key up does not count
        {{NotAKey(VK_ESCAPE), Down('A')}, false, {VK_ESCAPE, 'A'}},
        {{Up(VK_ESCAPE), Down(VK_ESCAPE), Down(VK_ESCAPE)}, true, {VK_ESCAPE}},
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

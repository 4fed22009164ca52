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

struct CheckForKeyCase {
    const char* name;
    std::vector<InputEvent> pending;
    bool found;
    std::vector<uint16_t> left;
};

class CheckForKeyTest : public ::testing::TestWithParam<CheckForKeyCase> {
  protected:
    void SetUp() override { platform::FlushInputQueue(); }
    void TearDown() override { platform::FlushInputQueue(); }
};

TEST_P(CheckForKeyTest, ConsumesUpToTheFirstKeyDownOfTheKey) {
    const CheckForKeyCase& c = GetParam();
    for (const InputEvent& event : c.pending) platform::PushInput(event);
    EXPECT_EQ(CheckForKey(VK_ESCAPE), c.found);
    EXPECT_EQ(PendingKeys(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckForKeyTest,
    ::testing::Values(
        CheckForKeyCase{"Empty", {}, false, {}},
        CheckForKeyCase{"KeyBeforeAndAfter", {Down('A'), Down(VK_ESCAPE), Down('B')}, true, {'B'}},
        CheckForKeyCase{"OtherKeysStay", {Down('A'), Down('B')}, false, {'A', 'B'}},
        CheckForKeyCase{"KeyUpDoesNotCount", {Up(VK_ESCAPE), Down('A')}, false, {VK_ESCAPE, 'A'}},
        CheckForKeyCase{
            "OnlyKeyEventsCount", {NotAKey(VK_ESCAPE), Down('A')}, false, {VK_ESCAPE, 'A'}},
        CheckForKeyCase{"FirstMatchOnly",
                        {Up(VK_ESCAPE), Down(VK_ESCAPE), Down(VK_ESCAPE)},
                        true,
                        {VK_ESCAPE}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlushInputTest, DropsEveryPendingEvent) {
    platform::PushInput(Down('A'));
    platform::PushInput(Down(VK_ESCAPE));
    FlushInput();
    EXPECT_TRUE(platform::PeekInput().empty());
    EXPECT_FALSE(CheckForKey(VK_ESCAPE));
}

}  // namespace
}  // namespace kestrova

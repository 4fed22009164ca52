#include "platform/console_input.h"

#include <gtest/gtest.h>

#include <optional>

namespace kestrova::platform {
namespace {

constexpr uint16_t kEscape = 0x1B;

InputEvent KeyDown(uint16_t key) {
    return {1, true, key, 0, static_cast<char>(key)};
}
InputEvent KeyUp(uint16_t key) {
    return {1, false, key, 0, static_cast<char>(key)};
}
InputEvent Resize() {
    return {4, false, 0, 0, 0};
}

std::vector<uint16_t> PendingKeys() {
    std::vector<uint16_t> keys;
    for (const InputEvent& event : PeekInput()) keys.push_back(event.VirtualKeyCode);
    return keys;
}

// The way the module polls for a key: peek, find the first key-down of it, consume through it.
bool TakeKeyDown(uint16_t key) {
    const std::vector<InputEvent> pending = PeekInput();
    for (size_t i = 0; i < pending.size(); ++i) {
        const InputEvent& event = pending[i];
        if (event.EventType == 1 && event.KeyDown && event.VirtualKeyCode == key) {
            ConsumeInput(i + 1);
            return true;
        }
    }
    return false;
}

class ConsoleInputTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        SetConsoleInputSource(-1, nullptr);
        FlushInputQueue();
    }
};

TEST_F(ConsoleInputTest, PeekingLeavesEventsInPlace) {
    PushInput(KeyDown('A'));
    PushInput(KeyUp('A'));
    EXPECT_EQ(PeekInput().size(), 2u);
    const std::vector<InputEvent> pending = PeekInput();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_TRUE(pending[0].KeyDown);
    EXPECT_FALSE(pending[1].KeyDown);
    EXPECT_EQ(pending[0].AsciiChar, 'A');
}

TEST_F(ConsoleInputTest, PollingForEscapeConsumesThroughTheFirstKeyDownOnly) {
    struct Case {
        const char* what;
        std::vector<InputEvent> events;
        bool found;
        std::vector<uint16_t> left;
    };
    const Case cases[] = {
        {"nothing pending", {}, false, {}},
        {"other keys stay", {KeyDown('A'), KeyDown('B')}, false, {'A', 'B'}},
        {"key-up of Esc does not count", {KeyUp(kEscape), KeyDown('B')}, false, {kEscape, 'B'}},
        {"events before Esc go with it",
         {KeyDown('A'), KeyDown(kEscape), KeyDown('B')},
         true,
         {'B'}},
        {"only the first Esc is taken",
         {Resize(), KeyDown(kEscape), KeyUp(kEscape), KeyDown(kEscape)},
         true,
         {kEscape, kEscape}},
    };
    for (const Case& c : cases) {
        FlushInputQueue();
        for (const InputEvent& event : c.events) PushInput(event);
        EXPECT_EQ(TakeKeyDown(kEscape), c.found) << c.what;
        EXPECT_EQ(PendingKeys(), c.left) << c.what;
    }
}

TEST_F(ConsoleInputTest, ConsumingMoreThanPendingEmptiesTheQueue) {
    PushInput(KeyDown('A'));
    PushInput(KeyDown('B'));
    ConsumeInput(0);
    EXPECT_EQ(PendingKeys(), (std::vector<uint16_t>{'A', 'B'}));
    ConsumeInput(1);
    EXPECT_EQ(PendingKeys(), (std::vector<uint16_t>{'B'}));
    ConsumeInput(5);
    EXPECT_TRUE(PeekInput().empty());
}

TEST_F(ConsoleInputTest, PeekTakesWhatTheTerminalHasReadyFirst) {
    std::optional<InputEvent> ready = KeyDown(kEscape);
    int drains = 0;
    SetConsoleInputSource(7, [&] {
        ++drains;
        if (ready) PushInput(*ready);
        ready.reset();
    });
    EXPECT_EQ(ConsoleInputFd(), 7);
    PushInput(KeyDown('A'));  // already queued before the terminal's key
    EXPECT_TRUE(TakeKeyDown(kEscape));
    EXPECT_TRUE(PeekInput().empty());
    EXPECT_EQ(drains, 2);
}

TEST_F(ConsoleInputTest, FlushDropsQueuedAndReadyInput) {
    bool ready = true;
    SetConsoleInputSource(3, [&] {
        if (ready) PushInput(KeyDown('Z'));
        ready = false;
    });
    PushInput(KeyDown('A'));
    FlushInputQueue();
    EXPECT_FALSE(ready);
    EXPECT_TRUE(PeekInput().empty());
}

}  // namespace
}  // namespace kestrova::platform

#include "platform/console_input.h"

#include <gtest/gtest.h>

#include <optional>

namespace kestrova::platform {
namespace {

InputEvent KeyDown(uint16_t key) {
    return {1, true, key, 0, static_cast<char>(key)};
}

std::vector<uint16_t> PendingKeys() {
    std::vector<uint16_t> keys;
    for (const InputEvent& event : PeekInput()) keys.push_back(event.VirtualKeyCode);
    return keys;
}

// Searching the queue for a key is the ui layer's; here the queue and the terminal's input.
class ConsoleInputTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        SetConsoleInputSource(-1, nullptr);
        KeepFlushedInput(false);
        FlushInputQueue();
    }
};

// Peeking takes what the terminal has ready first (once); flushing drops it with the queue.
TEST_F(ConsoleInputTest, PeekAndFlushTakeWhatTheTerminalHasReadyFirst) {
    for (const bool flush : {false, true}) {
        std::optional<InputEvent> ready = KeyDown(0x1B);
        int drains = 0;
        SetConsoleInputSource(7, [&] {
            ++drains;
            if (ready) PushInput(*ready);
            ready.reset();
        });
        EXPECT_EQ(ConsoleInputFd(), 7);
        PushInput(KeyDown('A'));  // already queued before the terminal's key
        if (flush) FlushInputQueue();
        const std::vector<uint16_t> left =
            flush ? std::vector<uint16_t>{} : std::vector<uint16_t>{'A', 0x1B};
        EXPECT_EQ(PendingKeys(), left);
        EXPECT_EQ(drains, flush ? 2 : 1);
        Reset();
    }
}

// Kept flushed keys come back in front of the keys typed since, in their order, bounded; peeking
// leaves the events and consuming takes from the front.
TEST_F(ConsoleInputTest, FlushedKeysKeptComeBackFirstAndConsumingTakesFromTheFront) {
    KeepFlushedInput(true);
    PushInput(KeyDown('A'));
    PushInput(KeyDown('B'));
    FlushInputQueue();
    EXPECT_TRUE(PeekInput().empty());
    PushInput(KeyDown('C'));
    FlushInputQueue();
    PushInput(KeyDown('D'));
    RestoreFlushedInput();
    EXPECT_EQ(PendingKeys(), (std::vector<uint16_t>{'A', 'B', 'C', 'D'}));
    RestoreFlushedInput();
    EXPECT_EQ(PendingKeys().size(), 4u) << "restored once";
    EXPECT_EQ(PeekInput()[0].AsciiChar, 'A');
    ConsumeInput(0);
    ConsumeInput(1);
    EXPECT_EQ(PendingKeys(), (std::vector<uint16_t>{'B', 'C', 'D'}));
    ConsumeInput(5);
    EXPECT_TRUE(PeekInput().empty());

    PushInput(KeyDown('Z'));
    for (size_t i = 0; i < kMostKeptEvents; ++i) PushInput(KeyDown('X'));
    FlushInputQueue();
    RestoreFlushedInput();
    EXPECT_EQ(PendingKeys().size(), kMostKeptEvents);
    EXPECT_EQ(PendingKeys().front(), 'X') << "the oldest went";
}

}  // namespace
}  // namespace kestrova::platform

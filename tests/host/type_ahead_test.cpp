#include "host/type_ahead.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>

#include "host/host_error.h"
#include "hostapi/plugin_api.h"

namespace kestrova::host {
namespace {

ScriptLine Line(std::vector<std::string> words) {
    return ScriptLine{9, std::move(words), ""};
}

bool InputReadyWithin(int millis) {
    pollfd fd{platform::ConsoleInputFd(), POLLIN, 0};
    return poll(&fd, 1, millis) == 1;
}

TEST(TypeAhead, ParsesTheDelayAndTheKeys) {
    const DelayedTyping typing =
        ParseTypeAheadAfter(Line({"type-ahead-after", "600000", "Esc", "Enter", "Ctrl+Shift+Ins"}));
    std::string text = std::to_string(typing.Millis);  // then each key as "VK/STATE/CHAR"
    for (const platform::InputEvent& e : typing.Events)
        text += " " + std::to_string(e.VirtualKeyCode) + "/" + std::to_string(e.ControlKeyState) +
                "/" + std::to_string(e.AsciiChar) + (e.KeyDown ? "" : " up");
    EXPECT_EQ(text, "600000 27/0/27 13/0/13 45/20/0");
}

TEST(TypeAhead, RejectsBadDelaysAndKeysNamingTheLine) {
    struct Case {
        std::vector<std::string> Words;
        const char* Message;
    } cases[] = {
        {{"type-ahead-after"}, "line 9: usage: type-ahead-after MILLISECONDS KEY..."},
        {{"type-ahead-after", "1000"}, "line 9: usage: type-ahead-after MILLISECONDS KEY..."},
        {{"type-ahead-after", "Esc", "1000"}, "found \"Esc\""},
        {{"type-ahead-after", "0", "Esc"}, "found \"0\""},
        {{"type-ahead-after", "1000ms", "Esc"}, "found \"1000ms\""},
        {{"type-ahead-after", "600001", "Esc"}, "from 1 to 600000, found \"600001\""},
        {{"type-ahead-after", "99999999999", "Esc"}, "found \"99999999999\""},
        {{"type-ahead-after", "10", "Esc", "Hyper"}, "line 9: unknown key \"Hyper\""},
    };
    for (const Case& c : cases)
        EXPECT_THAT([&] { ParseTypeAheadAfter(Line(c.Words)); },
                    ::testing::ThrowsMessage<HostError>(::testing::HasSubstr(c.Message)));
}

// Delivery when due, waking a wait, is checked by the news scripts that type Esc during one.
// Keys not yet due, and keys due whose wake-up was not yet read, are dropped alike.
TEST(DelayedKeys, CancellingDropsTheKeysAndNamesTheirLine) {
    for (const char* millis : {"20", "1"}) {
        platform::FlushInputQueue();
        DelayedKeys keys;
        keys.Arm(ParseTypeAheadAfter(Line({"type-ahead-after", millis, "Esc"})), 4);
        if (millis[0] == '1') {
            ASSERT_TRUE(InputReadyWithin(10000));
        }
        EXPECT_EQ(keys.CancelPending(), 4);
        EXPECT_FALSE(keys.Pending());
        EXPECT_EQ(keys.CancelPending(), 0);
        EXPECT_FALSE(InputReadyWithin(100));
        EXPECT_TRUE(platform::PeekInput().empty());
    }
}

}  // namespace
}  // namespace kestrova::host

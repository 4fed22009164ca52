#include "host/tui/key_input.h"

#include <gtest/gtest.h>

#include "hostapi/plugin_api.h"

namespace kestrova::host::tui {
namespace {

constexpr uint32_t kShift = SHIFT_PRESSED, kAlt = LEFT_ALT_PRESSED, kCtrl = LEFT_CTRL_PRESSED;

struct KeyCase {
    const char* Bytes;
    int VirtualKey;
    uint32_t State;
    char Character;
};

// What xterm and tmux send for the keys a file manager uses.
const KeyCase kKeyCases[] = {
    {"a", 'A', 0, 'a'},
    {"Q", 'Q', kShift, 'Q'},
    {"+", 0, 0, '+'},
    {"\r", VK_RETURN, 0, '\r'},
    {"\n", VK_RETURN, 0, '\r'},
    {"\t", VK_TAB, 0, '\t'},
    {"\x7f", VK_BACK, 0, 8},
    {"\x12", 'R', kCtrl, 0},
    {"\x1bOP", VK_F1, 0, 0},
    {"\x1b[11~", VK_F1, 0, 0},
    {"\x1b[[C", VK_F3, 0, 0},
    {"\x1b[15~", VK_F5, 0, 0},
    {"\x1b[1;2S", VK_F4, kShift, 0},
    {"\x1b[18;3~", VK_F7, kAlt, 0},
    {"\x1b[15;6~", VK_F5, kCtrl | kShift, 0},
    {"\x1b[A", VK_UP, 0, 0},
    {"\x1b[1;2A", VK_UP, kShift, 0},
    {"\x1b[1;5D", VK_LEFT, kCtrl, 0},
    {"\x1b[H", VK_HOME, 0, 0},
    {"\x1bOk", VK_ADD, 0, '+'},
    {"\x1b[Z", VK_TAB, kShift, 0},
    {"\x1bx", 'X', kAlt, 'x'},
    {"\x1b\x1b[A", VK_UP, kAlt, 0},
    {"\x1b[27;5;49~", '1', kCtrl, '1'},
    {"\x1b[48;5u", '0', kCtrl, '0'},
    // Outside the Basic Multilingual Plane: no OEM form, also where the low 16 bits are a letter.
    {"\xF0\x9F\x98\x80", 0, 0, '?'},
    {"\xF0\x90\x90\x96", 0, 0, '?'},
    {"\x1b[66582u", 0, 0, '?'},
};

TEST(KeyDecoder, DecodesEachKeyAsTerminalsSendIt) {
    for (const KeyCase& c : kKeyCases) {
        KeyDecoder decoder;
        const std::vector<platform::InputEvent> events = decoder.Feed(c.Bytes);
        ASSERT_EQ(events.size(), 1u) << "bytes of case " << &c - kKeyCases;
        EXPECT_EQ(events[0].VirtualKeyCode, c.VirtualKey) << "case " << &c - kKeyCases;
        EXPECT_EQ(events[0].ControlKeyState, c.State) << "case " << &c - kKeyCases;
        EXPECT_EQ(events[0].AsciiChar, c.Character) << "case " << &c - kKeyCases;
        EXPECT_FALSE(decoder.Pending()) << "case " << &c - kKeyCases;
    }
}

TEST(KeyDecoder, SequenceSplitAtEveryByteDecodesOnce) {
    const std::string bytes = "\x1b[1;2Sa\xd0\x96\x1b[<0;5;3M";
    for (size_t split = 0; split <= bytes.size(); ++split) {
        KeyDecoder decoder;
        std::vector<platform::InputEvent> events = decoder.Feed(bytes.substr(0, split));
        const std::vector<platform::InputEvent> rest = decoder.Feed(bytes.substr(split));
        events.insert(events.end(), rest.begin(), rest.end());
        ASSERT_EQ(events.size(), 4u) << "split at " << split;
        EXPECT_EQ(events[0].VirtualKeyCode, VK_F4);
        EXPECT_EQ(events[1].AsciiChar, 'a');
        EXPECT_EQ(static_cast<unsigned char>(events[2].AsciiChar), 0x86u);  // Ж in CP866
        EXPECT_EQ(events[3].EventType, MOUSE_EVENT);
    }
}

TEST(KeyDecoder, EscapeWaitsThenIsEscapeOncePerPress) {
    for (const std::string bytes : {"\x1b", "\x1b\x1b"}) {
        KeyDecoder decoder;
        std::vector<platform::InputEvent> events = decoder.Feed(bytes);
        EXPECT_TRUE(decoder.Pending());
        const std::vector<platform::InputEvent> rest = decoder.Finish();
        events.insert(events.end(), rest.begin(), rest.end());
        ASSERT_EQ(events.size(), bytes.size());
        for (const platform::InputEvent& event : events) {
            EXPECT_EQ(event.VirtualKeyCode, VK_ESCAPE);
            EXPECT_EQ(event.ControlKeyState, 0u);
        }
    }
}

TEST(KeyDecoder, MouseReportsGiveCellButtonAndWheel) {
    KeyDecoder decoder;
    const std::vector<platform::InputEvent> events =
        decoder.Feed("\x1b[<0;12;7M\x1b[<0;12;7m\x1b[<2;1;1M\x1b[<65;3;4M\x1b[<32;5;5M");
    ASSERT_EQ(events.size(), 3u);  // the release and the motion are no events
    EXPECT_EQ(events[0].MouseX, 11);
    EXPECT_EQ(events[0].MouseY, 6);
    EXPECT_EQ(events[0].ButtonState, FROM_LEFT_1ST_BUTTON_PRESSED);
    EXPECT_EQ(events[1].ButtonState, RIGHTMOST_BUTTON_PRESSED);
    EXPECT_EQ(events[2].EventFlags, MOUSE_WHEELED);
    EXPECT_LT(static_cast<int32_t>(events[2].ButtonState), 0);  // down
}

TEST(KeyDecoder, NoiseIsDroppedWithoutSwallowingWhatFollows) {
    KeyDecoder decoder;
    // A terminal's reply to a query, an unknown sequence, an endless one cut by text.
    std::vector<platform::InputEvent> events = decoder.Feed("\x1b[>1;2c\x1b[99~z");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].AsciiChar, 'z');
    events = decoder.Feed("\x1b[" + std::string(40, '1') + "q");
    EXPECT_FALSE(decoder.Pending());
}

}  // namespace
}  // namespace kestrova::host::tui

#include "host/tui/key_input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "hostapi/plugin_api.h"

namespace kestrova::host::tui {
namespace {

constexpr uint32_t kShift = SHIFT_PRESSED, kAlt = LEFT_ALT_PRESSED, kCtrl = LEFT_CTRL_PRESSED;

// A key as Decoded writes it: "VK/STATE/CHAR", and "+CODE POINT" for a character beyond ASCII.
std::string Key(int virtualKey, uint32_t state, char character, char32_t unicode = 0) {
    return std::to_string(virtualKey) + "/" + std::to_string(state) + "/" +
           std::to_string(static_cast<unsigned char>(character)) +
           (unicode ? "+" + std::to_string(unicode) : "") + " ";
}

// What xterm and tmux send for the keys a file manager uses.
const std::pair<std::string, std::string> kKeyCases[] = {
    {"a", Key('A', 0, 'a')},
    {"Q", Key('Q', kShift, 'Q')},
    {"+", Key(0, 0, '+')},
    {"\r", Key(VK_RETURN, 0, '\r')},
    {"\n", Key(VK_RETURN, 0, '\r')},
    {"\t", Key(VK_TAB, 0, '\t')},
    {"\x7f", Key(VK_BACK, 0, 8)},
    {"\x12", Key('R', kCtrl, 0)},
    {"\x1bOP", Key(VK_F1, 0, 0)},
    {"\x1bOQ", Key(VK_F2, 0, 0)},
    {"\x1bOR", Key(VK_F3, 0, 0)},
    {"\x1b[11~", Key(VK_F1, 0, 0)},
    {"\x1b[[C", Key(VK_F3, 0, 0)},
    {"\x1b[15~", Key(VK_F5, 0, 0)},
    {"\x1b[1;2S", Key(VK_F4, kShift, 0)},
    {"\x1b[18;3~", Key(VK_F7, kAlt, 0)},
    {"\x1b[15;6~", Key(VK_F5, kCtrl | kShift, 0)},
    {"\x1b[A", Key(VK_UP, 0, 0)},
    {"\x1b[1;2A", Key(VK_UP, kShift, 0)},
    {"\x1b[1;5D", Key(VK_LEFT, kCtrl, 0)},
    {"\x1b[H", Key(VK_HOME, 0, 0)},
    {"\x1bOk", Key(VK_ADD, 0, '+')},
    {"\x1b[Z", Key(VK_TAB, kShift, 0)},
    {"\x1bx", Key('X', kAlt, 'x')},
    {"\x1b\x1b[A", Key(VK_UP, kAlt, 0)},
    {"\x1b[27;5;49~", Key('1', kCtrl, '1')},
    {"\x1b[48;5u", Key('0', kCtrl, '0')},
    // Beyond ASCII: no single OEM byte ('?'), the character itself as a code point.
    {"\xF0\x9F\x98\x80", Key(0, 0, '?', 0x1F600)},
    {"\xF0\x90\x90\x96", Key(0, 0, '?', 0x10416)},
    {"\x1b[66582u", Key(0, 0, '?', 66582)},
    {"\xE4\xB8\xAD", Key(0, 0, '?', 0x4E2D)},
};

// Events in a line: a key as Key writes it, a mouse event as "@X,Y/BUTTONS/FLAGS"; "..." where
// the decoder waits for more before the input pauses (Finish).
std::string Decoded(const std::string& first, const std::string& rest) {
    KeyDecoder decoder;
    std::vector<platform::InputEvent> events = decoder.Feed(first);
    for (const platform::InputEvent& event : decoder.Feed(rest)) events.push_back(event);
    std::ostringstream text;
    for (const platform::InputEvent& e : events)
        if (e.EventType == MOUSE_EVENT)
            text << '@' << e.MouseX << ',' << e.MouseY << '/' << static_cast<int32_t>(e.ButtonState)
                 << '/' << e.EventFlags << ' ';
        else
            text << Key(e.VirtualKeyCode, e.ControlKeyState, e.AsciiChar, e.UnicodeChar);
    if (decoder.Pending()) text << "... ";
    for (const platform::InputEvent& e : decoder.Finish()) text << e.VirtualKeyCode << ' ';
    return text.str();
}

// Every split of bytes into two reads decodes to events.
void ExpectAtEverySplit(const std::string& bytes, const std::string& events, long row) {
    for (size_t split = 0; split <= bytes.size(); ++split)
        EXPECT_EQ(Decoded(bytes.substr(0, split), bytes.substr(split)), events)
            << "case " << row << " split at " << split;
}

TEST(KeyDecoder, DecodesEachKeyAsTerminalsSendItWhereverTheInputIsSplit) {
    for (const auto& c : kKeyCases) ExpectAtEverySplit(c.first, c.second, &c - kKeyCases);
}

TEST(KeyDecoder, SequencesDecodeAlikeWhereverTheInputIsSplit) {
    std::string ones;
    for (int i = 0; i < 31; ++i) ones += "49/0/49 ";
    const std::pair<std::string, std::string> cases[] = {
        {"\x1b[1;2Sa\xd0\x96\x1b[<0;5;3M", "115/16/0 65/0/97 0/0/63+1046 @4,2/1/0 "},  // Ж
        // A release and a motion are no events; the right button, the wheel down.
        {"\x1b[<0;12;7M\x1b[<0;12;7m\x1b[<2;1;1M\x1b[<65;3;4M\x1b[<32;5;5M",
         "@11,6/1/0 @0,0/2/0 @2,3/-7864320/4 "},
        // A terminal's reply to a query and an unknown sequence are dropped; a sequence that
        // never ends is text after its first 32 bytes.
        {"\x1b[?1;2A\x1b[>1;2c\x1b[99~z", "90/0/122 "},
        {"\x1b[" + std::string(31, '1'), "0/0/91 " + ones},
        {"\x1b", "... 27 "},  // Esc once per press
        {"\x1b\x1b", "... 27 27 "},
        // Input that pauses inside a sequence types none of it; Esc and '[' is Alt with '['.
        {"\x1b[4", "... "},
        {"\x1b[1;5", "... "},
        {"a\x1bO", "65/0/97 ... 79 "},
        {"\x1b[", "... 0 "},
    };
    for (const auto& c : cases) ExpectAtEverySplit(c.first, c.second, &c - cases);
}

}  // namespace
}  // namespace kestrova::host::tui

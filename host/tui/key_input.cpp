#include "host/tui/key_input.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <chrono>

#include "host/tui/terminal.h"
#include "hostapi/plugin_api.h"
#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

using platform::InputEvent;

constexpr size_t kLongestSequence = 32;  // a longer unfinished sequence is dropped as noise
constexpr int kEscapeWaitMs = 25;        // how long a lone Esc waits for the rest of a sequence
constexpr int kSequenceWaitMs = 1000;    // how long a sequence begun waits for its end

enum class Parse { Done, Incomplete };

// xterm's modifier parameter m: m - 1 holds Shift 1, Alt 2, Ctrl 4 (Meta 8 counts as Alt).
uint32_t ModifierState(int parameter) {
    if (parameter < 2) return 0;
    const int bits = parameter - 1;
    return ((bits & 1) ? SHIFT_PRESSED : 0) | ((bits & (2 | 8)) ? LEFT_ALT_PRESSED : 0) |
           ((bits & 4) ? LEFT_CTRL_PRESSED : 0);
}

// A character key by its code (ASCII or a code point), as typed or in an extended report.
InputEvent CharacterKey(char32_t code, uint32_t state) {
    switch (code) {
        case 9:
            return KeyEvent(VK_TAB, state, '\t');
        case 13:
            return KeyEvent(VK_RETURN, state, '\r');
        case 27:
            return KeyEvent(VK_ESCAPE, state, 27);
        case 8:
        case 127:
            return KeyEvent(VK_BACK, state, 8);
        case 32:
            return KeyEvent(VK_SPACE, state, ' ');
    }
    if (code < 0x80) {
        const char c = static_cast<char>(code);
        if (std::isalpha(static_cast<unsigned char>(c))) {
            if (std::isupper(static_cast<unsigned char>(c))) state |= SHIFT_PRESSED;
            return KeyEvent(std::toupper(static_cast<unsigned char>(c)), state, c);
        }
        if (std::isdigit(static_cast<unsigned char>(c))) return KeyEvent(c, state, c);
        if (code < 0x20) return KeyEvent(0, state);  // no key a user could mean
        return KeyEvent(0, state, c);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return KeyEvent(0, state, '?');
    std::string utf8;
    platform::AppendUtf8(utf8, code);
    const std::string oem = platform::Utf8ToOem(utf8);
    InputEvent event = KeyEvent(0, state, oem.size() == 1 ? oem[0] : '?');
    event.UnicodeChar = code;
    return event;
}

std::vector<int> Parameters(std::string_view text) {
    std::vector<int> parameters;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(';', start), text.size());
        int value = 0;
        std::from_chars(text.data() + start, text.data() + end, value);
        parameters.push_back(value);
        start = end + 1;
    }
    return parameters;
}

int Parameter(const std::vector<int>& parameters, size_t index, int fallback) {
    return index < parameters.size() && parameters[index] > 0 ? parameters[index] : fallback;
}

// The key of a CSI or SS3 sequence's final letter (arrows, Home/End, F1-F4, keypad).
int LetterKey(char final) {
    switch (final) {
        case 'A':
            return VK_UP;
        case 'B':
            return VK_DOWN;
        case 'C':
            return VK_RIGHT;
        case 'D':
            return VK_LEFT;
        case 'H':
            return VK_HOME;
        case 'F':
            return VK_END;
        case 'P':
            return VK_F1;
        case 'Q':
            return VK_F2;
        case 'R':
            return VK_F3;
        case 'S':
            return VK_F4;
        case 'j':
            return VK_MULTIPLY;
        case 'k':
            return VK_ADD;
        case 'm':
            return VK_SUBTRACT;
        case 'M':
            return VK_RETURN;
    }
    return 0;
}

// The key of "CSI n ~".
int TildeKey(int number) {
    switch (number) {
        case 1:
        case 7:
            return VK_HOME;
        case 2:
            return VK_INSERT;
        case 3:
            return VK_DELETE;
        case 4:
        case 8:
            return VK_END;
        case 5:
            return VK_PRIOR;
        case 6:
            return VK_NEXT;
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            return VK_F1 + number - 11;
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
            return VK_F6 + number - 17;
        case 23:
            return VK_F11;
        case 24:
            return VK_F12;
    }
    return 0;
}

char KeyChar(int virtualKey) {
    switch (virtualKey) {
        case VK_MULTIPLY:
            return '*';
        case VK_ADD:
            return '+';
        case VK_SUBTRACT:
            return '-';
        case VK_RETURN:
            return '\r';
    }
    return 0;
}

void AddKey(std::vector<InputEvent>& out, int virtualKey, uint32_t state) {
    if (virtualKey != 0) out.push_back(KeyEvent(virtualKey, state, KeyChar(virtualKey)));
}

// "CSI < b ; x ; y M|m": an SGR mouse report; presses and wheel turns become events.
void AddMouse(std::vector<InputEvent>& out, const std::vector<int>& parameters, char final) {
    if (parameters.size() != 3 || final != 'M') return;
    const int code = parameters[0];
    if (code & 32) return;  // motion
    InputEvent event;
    event.EventType = MOUSE_EVENT;
    event.KeyDown = false;
    event.MouseX = static_cast<int16_t>(std::max(parameters[1], 1) - 1);
    event.MouseY = static_cast<int16_t>(std::max(parameters[2], 1) - 1);
    event.ControlKeyState = ((code & 4) ? SHIFT_PRESSED : 0) | ((code & 8) ? LEFT_ALT_PRESSED : 0) |
                            ((code & 16) ? LEFT_CTRL_PRESSED : 0);
    if (code & 64) {
        event.EventFlags = MOUSE_WHEELED;
        event.ButtonState = (code & 1) ? 0xFF880000u : 0x00780000u;  // -120 / +120
    } else {
        constexpr uint32_t kButtons[] = {FROM_LEFT_1ST_BUTTON_PRESSED, FROM_LEFT_2ND_BUTTON_PRESSED,
                                         RIGHTMOST_BUTTON_PRESSED, 0};
        event.ButtonState = kButtons[code & 3];
        if (event.ButtonState == 0) return;
    }
    out.push_back(event);
}

// A sequence after "ESC [": parameters, then a final byte.
Parse ParseCsi(std::string_view s, size_t& used, std::vector<InputEvent>& out, uint32_t alt) {
    size_t i = 2;
    if (i < s.size() && s[i] == '[') {  // the Linux console's F1-F5: ESC [ [ A..E
        if (i + 1 >= s.size()) return Parse::Incomplete;
        const char letter = s[i + 1];
        if (letter >= 'A' && letter <= 'E') AddKey(out, VK_F1 + (letter - 'A'), alt);
        used = i + 2;
        return Parse::Done;
    }
    const bool mouse = i < s.size() && s[i] == '<';
    const size_t first = i;
    while (i < s.size() && static_cast<unsigned char>(s[i]) >= 0x20 &&
           static_cast<unsigned char>(s[i]) <= 0x3F)
        ++i;
    if (i >= s.size()) return Parse::Incomplete;
    const char final = s[i];
    used = i + 1;
    const std::string_view text = s.substr(first + (mouse ? 1 : 0), i - first - (mouse ? 1 : 0));
    if (static_cast<unsigned char>(final) < 0x40 || static_cast<unsigned char>(final) > 0x7E)
        return Parse::Done;  // not a sequence: dropped
    const std::vector<int> parameters = Parameters(text);
    if (mouse) {
        AddMouse(out, parameters, final);
        return Parse::Done;
    }
    if (!text.empty() && !std::isdigit(static_cast<unsigned char>(text[0])))
        return Parse::Done;  // a private reply (">..", "?..") is no key
    if (final == '~') {
        const int number = Parameter(parameters, 0, 0);
        if (number == 27) {
            out.push_back(CharacterKey(static_cast<char32_t>(Parameter(parameters, 2, 0)),
                                       ModifierState(Parameter(parameters, 1, 1)) | alt));
            return Parse::Done;
        }
        AddKey(out, TildeKey(number), ModifierState(Parameter(parameters, 1, 1)) | alt);
    } else if (final == 'u') {
        out.push_back(CharacterKey(static_cast<char32_t>(Parameter(parameters, 0, 0)),
                                   ModifierState(Parameter(parameters, 1, 1)) | alt));
    } else if (final == 'Z') {
        AddKey(out, VK_TAB, SHIFT_PRESSED | alt);
    } else {
        AddKey(out, LetterKey(final), ModifierState(Parameter(parameters, 1, 1)) | alt);
    }
    return Parse::Done;
}

// A sequence after "ESC O": an optional modifier digit, then a letter.
Parse ParseSs3(std::string_view s, size_t& used, std::vector<InputEvent>& out, uint32_t alt) {
    size_t i = 2;
    int modifier = 1;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) modifier = s[i++] - '0';
    if (i >= s.size()) return Parse::Incomplete;
    used = i + 1;
    AddKey(out, LetterKey(s[i]), ModifierState(modifier) | alt);
    return Parse::Done;
}

size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// One key that is not an escape sequence: a control byte or a UTF-8 character.
Parse ParsePlain(std::string_view s, size_t& used, std::vector<InputEvent>& out, uint32_t alt) {
    const unsigned char lead = static_cast<unsigned char>(s[0]);
    if (lead == 0) {
        used = 1;
        out.push_back(KeyEvent(VK_SPACE, LEFT_CTRL_PRESSED | alt, ' '));
        return Parse::Done;
    }
    if (lead == '\n') {
        used = 1;
        out.push_back(CharacterKey('\r', alt));
        return Parse::Done;
    }
    if (lead < 0x20 && lead != 8 && lead != 9 && lead != 13 && lead != 27) {
        used = 1;
        if (lead <= 26) out.push_back(KeyEvent('A' + lead - 1, LEFT_CTRL_PRESSED | alt));
        return Parse::Done;
    }
    if (lead < 0x80) {
        used = 1;
        out.push_back(CharacterKey(lead, alt));
        return Parse::Done;
    }
    const size_t length = Utf8Length(lead);
    if (length == 1) {  // a stray byte
        used = 1;
        out.push_back(KeyEvent(0, alt, '?'));
        return Parse::Done;
    }
    if (s.size() < length) return Parse::Incomplete;
    char32_t code = lead & (0xFF >> (length + 1));
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(s[i]);
        if ((next & 0xC0) != 0x80) {  // broken: the lead alone is dropped
            used = 1;
            out.push_back(KeyEvent(0, alt, '?'));
            return Parse::Done;
        }
        code = (code << 6) | (next & 0x3F);
    }
    used = length;
    out.push_back(CharacterKey(code, alt));
    return Parse::Done;
}

// One key at the start of s; Esc in front of a key or sequence is Alt.
Parse ParseOne(std::string_view s, size_t& used, std::vector<InputEvent>& out) {
    if (s[0] != 27) return ParsePlain(s, used, out, 0);
    if (s.size() < 2) return Parse::Incomplete;
    size_t start = 1;
    uint32_t alt = 0;
    if (s[1] == 27) {
        if (s.size() < 3) return Parse::Incomplete;
        if (s[2] != '[' && s[2] != 'O') {  // Esc pressed twice
            used = 1;
            out.push_back(KeyEvent(VK_ESCAPE, 0, 27));
            return Parse::Done;
        }
        start = 2;
        alt = LEFT_ALT_PRESSED;
    }
    const std::string_view rest = s.substr(start - 1);
    size_t restUsed = 0;
    Parse result;
    if (rest[1] == '[')
        result = ParseCsi(rest, restUsed, out, alt);
    else if (rest[1] == 'O')
        result = ParseSs3(rest, restUsed, out, alt);
    else
        result = ParsePlain(rest.substr(1), restUsed, out, LEFT_ALT_PRESSED);
    if (result == Parse::Incomplete) return result;
    const bool plain = rest[1] != '[' && rest[1] != 'O';
    used = start - 1 + restUsed + (plain ? 1 : 0);
    return Parse::Done;
}

struct KeyInput {
    Terminal* terminal = nullptr;
    KeyDecoder decoder;
};

KeyInput& Input() {
    static KeyInput input;
    return input;
}

bool Readable(int fd, int timeoutMs) {
    pollfd descriptor{fd, POLLIN, 0};
    return poll(&descriptor, 1, timeoutMs) > 0 && (descriptor.revents & (POLLIN | POLLHUP));
}

// Moves what the terminal has sent into the platform queue without waiting, except briefly
// for the rest of a sequence that has begun.
void DrainTerminal() {
    KeyDecoder& decoder = Input().decoder;
    while (true) {
        const int wait = decoder.InSequence() ? kSequenceWaitMs
                         : decoder.Pending()  ? kEscapeWaitMs
                                              : 0;
        const bool ready = Readable(STDIN_FILENO, wait);
        if (!ready) {
            for (const InputEvent& event : decoder.Finish()) platform::PushInput(event);
            return;
        }
        char bytes[512];
        const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
        if (count <= 0) {
            for (const InputEvent& event : decoder.Finish()) platform::PushInput(event);
            return;
        }
        for (const InputEvent& event : decoder.Feed({bytes, static_cast<size_t>(count)}))
            platform::PushInput(event);
    }
}

}  // namespace

std::vector<InputEvent> KeyDecoder::Feed(std::string_view bytes) {
    held_ += bytes;
    std::vector<InputEvent> events;
    size_t position = 0;
    while (position < held_.size()) {
        size_t used = 0;
        const std::string_view rest = std::string_view(held_).substr(position);
        if (ParseOne(rest, used, events) == Parse::Incomplete) {
            if (rest.size() <= kLongestSequence) break;
            used = 1;  // an endless sequence: drop its lead and go on
        }
        position += used;
    }
    held_.erase(0, position);
    return events;
}

std::vector<InputEvent> KeyDecoder::Finish() {
    std::vector<InputEvent> events;
    while (!held_.empty()) {
        if (held_[0] != 27) {
            held_.erase(0, 1);  // half a UTF-8 character
        } else if (held_.size() == 1 || held_[1] == 27) {
            events.push_back(KeyEvent(VK_ESCAPE, 0, 27));  // a lone Esc; twice: the second anew
            held_.erase(0, 1);
        } else if (held_.size() == 2) {
            events.push_back(CharacterKey(static_cast<unsigned char>(held_[1]), LEFT_ALT_PRESSED));
            held_.clear();  // Alt with '[' or 'O'
        } else {
            held_.clear();  // an unfinished sequence is dropped whole, never typed as text
        }
        std::vector<InputEvent> rest = Feed({});
        events.insert(events.end(), rest.begin(), rest.end());
    }
    return events;
}

InputEvent KeyEvent(int virtualKey, uint32_t controlState, char oemChar) {
    InputEvent event;
    event.EventType = KEY_EVENT;
    event.VirtualKeyCode = static_cast<uint16_t>(virtualKey);
    event.ControlKeyState = controlState;
    event.AsciiChar = oemChar;
    return event;
}

void AttachKeyInput(Terminal& terminal) {
    Input().terminal = &terminal;
    Input().decoder = KeyDecoder();
    platform::SetConsoleInputSource(STDIN_FILENO, DrainTerminal);
}

void DetachKeyInput() {
    platform::SetConsoleInputSource(-1, nullptr);
    Input().terminal = nullptr;
}

void WaitForEnter() {
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~(ICANON | ECHO);
        quiet.c_cc[VMIN] = 1;
        quiet.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    KeyDecoder decoder;
    bool entered = false;
    while (!entered) {
        std::vector<InputEvent> events;
        if (decoder.Pending() &&
            !Readable(STDIN_FILENO, decoder.InSequence() ? kSequenceWaitMs : kEscapeWaitMs)) {
            events = decoder.Finish();
        } else {
            char bytes[512];
            const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
            if (count <= 0) break;
            events = decoder.Feed({bytes, static_cast<size_t>(count)});
        }
        for (const InputEvent& event : events) {
            if (entered)
                platform::PushInput(event);
            else
                entered = event.VirtualKeyCode == VK_RETURN;
        }
    }
    if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

std::optional<InputEvent> NextInputEvent(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        Terminal* terminal = Input().terminal;
        if (terminal && terminal->TakeResize()) {
            InputEvent resized;
            resized.EventType = WINDOW_BUFFER_SIZE_EVENT;
            resized.MouseX = static_cast<int16_t>(terminal->Width());
            resized.MouseY = static_cast<int16_t>(terminal->Height());
            return resized;
        }
        const std::vector<InputEvent> pending = platform::PeekInput();
        if (!pending.empty()) {
            platform::ConsumeInput(1);
            return pending.front();
        }
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return std::nullopt;
            wait = static_cast<int>(left.count());
        }
        pollfd descriptors[2] = {{platform::ConsoleInputFd(), POLLIN, 0},
                                 {terminal ? terminal->ResizeFd() : -1, POLLIN, 0}};
        poll(descriptors, 2, wait);
    }
}

}  // namespace kestrova::host::tui

#include "host/type_ahead.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "host/host_error.h"
#include "hostapi/plugin_api.h"

namespace kestrova::host {
namespace {

[[noreturn]] void Fail(const ScriptLine& line, const std::string& what) {
    throw HostError("line " + std::to_string(line.Number) + ": " + what);
}

}  // namespace

platform::InputEvent InputEventOf(const KeyPress& key) {
    platform::InputEvent event;
    event.VirtualKeyCode = static_cast<uint16_t>(key.VirtualKey);
    event.ControlKeyState = ((key.ControlState & PKF_CONTROL) ? RIGHT_CTRL_PRESSED : 0) |
                            ((key.ControlState & PKF_ALT) ? RIGHT_ALT_PRESSED : 0) |
                            ((key.ControlState & PKF_SHIFT) ? SHIFT_PRESSED : 0);
    if (key.VirtualKey == VK_ESCAPE || key.VirtualKey == VK_RETURN || key.VirtualKey == VK_SPACE)
        event.AsciiChar = static_cast<char>(key.VirtualKey);
    return event;
}

std::vector<platform::InputEvent> ParseTypedKeys(const ScriptLine& line, size_t first) {
    std::vector<platform::InputEvent> events;
    for (size_t i = first; i < line.Words.size(); ++i) {
        const std::optional<KeyPress> key = ParseKey(line.Words[i]);
        if (!key) Fail(line, "unknown key \"" + line.Words[i] + "\"");
        events.push_back(InputEventOf(*key));
    }
    return events;
}

DelayedTyping ParseTypeAheadAfter(const ScriptLine& line) {
    if (line.Words.size() < 3) Fail(line, "usage: type-ahead-after MILLISECONDS KEY...");
    const std::string& text = line.Words[1];
    DelayedTyping typing;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), typing.Millis);
    if (error != std::errc() || end != text.data() + text.size() || typing.Millis < 1 ||
        typing.Millis > kMaxTypingDelayMillis)
        Fail(line, "expected milliseconds from 1 to " + std::to_string(kMaxTypingDelayMillis) +
                       ", found \"" + text + "\"");
    typing.Events = ParseTypedKeys(line, 2);
    return typing;
}

DelayedKeys::DelayedKeys() : timer_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (timer_ < 0)
        throw HostError(std::string("cannot create the typing timer: ") + std::strerror(errno));
    platform::SetConsoleInputSource(timer_, [this] { DeliverIfDue(); });
}

DelayedKeys::~DelayedKeys() {
    platform::SetConsoleInputSource(-1, nullptr);
    close(timer_);
}

void DelayedKeys::Arm(const DelayedTyping& typing, int line) {
    itimerspec when{};
    when.it_value.tv_sec = typing.Millis / 1000;
    when.it_value.tv_nsec = static_cast<long>(typing.Millis % 1000) * 1000000;
    if (timerfd_settime(timer_, 0, &when, nullptr) != 0)
        throw HostError(std::string("cannot set the typing timer: ") + std::strerror(errno));
    events_ = typing.Events;
    pendingLine_ = line;
}

int DelayedKeys::CancelPending() {
    const itimerspec off{};
    timerfd_settime(timer_, 0, &off, nullptr);
    const int line = pendingLine_;
    pendingLine_ = 0;
    events_.clear();
    return line;
}

// Reading the timer clears its readiness, so a wait is woken once per typing.
void DelayedKeys::DeliverIfDue() {
    uint64_t expirations = 0;
    if (read(timer_, &expirations, sizeof expirations) != sizeof expirations) return;
    for (const platform::InputEvent& event : events_) platform::PushInput(event);
    events_.clear();
    pendingLine_ = 0;
}

}  // namespace kestrova::host

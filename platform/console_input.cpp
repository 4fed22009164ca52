#include "platform/console_input.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace kestrova::platform {

namespace {

struct ConsoleInput {
    int fd = -1;
    std::function<void()> drainReady;
    std::deque<InputEvent> pending;
};

ConsoleInput& Input() {
    static ConsoleInput input;
    return input;
}

void DrainTerminal() {
    if (Input().drainReady) Input().drainReady();
}

}  // namespace

void SetConsoleInputSource(int fd, std::function<void()> drainReady) {
    Input().fd = fd;
    Input().drainReady = std::move(drainReady);
}

int ConsoleInputFd() {
    return Input().fd;
}

void PushInput(const InputEvent& event) {
    Input().pending.push_back(event);
}

std::vector<InputEvent> PeekInput() {
    DrainTerminal();
    return {Input().pending.begin(), Input().pending.end()};
}

void ConsumeInput(size_t count) {
    auto& pending = Input().pending;
    pending.erase(pending.begin(), pending.begin() + std::min(count, pending.size()));
}

void FlushInputQueue() {
    DrainTerminal();
    Input().pending.clear();
}

}  // namespace kestrova::platform

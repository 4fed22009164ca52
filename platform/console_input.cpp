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
    bool keepFlushed = false;
    std::deque<InputEvent> kept;
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
    ConsoleInput& input = Input();
    if (input.keepFlushed) {
        input.kept.insert(input.kept.end(), input.pending.begin(), input.pending.end());
        while (input.kept.size() > kMostKeptEvents) input.kept.pop_front();
    }
    input.pending.clear();
}

void KeepFlushedInput(bool keep) {
    Input().keepFlushed = keep;
    if (!keep) Input().kept.clear();
}

void RestoreFlushedInput() {
    ConsoleInput& input = Input();
    input.pending.insert(input.pending.begin(), input.kept.begin(), input.kept.end());
    input.kept.clear();
}

}  // namespace kestrova::platform

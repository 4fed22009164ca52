// Shared set-up of the socket tests: a clock the tests move by hand, and the Esc check the news
// session runs on every wait.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/errors.h"
#include "hostapi/plugin_api.h"
#include "platform/clock.h"
#include "platform/console_input.h"

namespace kestrova::testing {

inline std::atomic<uint64_t> gFakeNow{1'000'000};

inline uint64_t FakeMillis() {
    return gFakeNow.load();
}

// Replaces the monotonic clock for the lifetime of the object.
class FakeClock {
  public:
    FakeClock() { platform::SetMonotonicClock(&FakeMillis); }
    ~FakeClock() { platform::SetMonotonicClock(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    static void Advance(uint64_t millis) { gFakeNow += millis; }
};

// Raises EUserAbort, as the session does, when Esc waits in the console input.
inline void AbortOnEsc() {
    const auto pending = platform::PeekInput();
    for (const platform::InputEvent& event : pending) {
        if (event.KeyDown && event.VirtualKeyCode == VK_ESCAPE) {
            platform::FlushInputQueue();
            throw EUserAbort(kItemFailure, "Operation aborted by user", "SocketWait");
        }
    }
}

}  // namespace kestrova::testing

#include "ui/esc_wait.h"

#include "platform/clock.h"
#include "platform/socket_events.h"
#include "ui/console_keys.h"

namespace kestrova {

bool WaitUnlessEsc(uint64_t millis) {
    const uint64_t due = platform::MonotonicMillis() + millis;
    // An event source without a socket: its ticks bound each sleep, console input ends it.
    platform::SocketEventSource waiter;
    waiter.StartTimer();
    for (;;) {
        if (CheckForKey(VK_ESCAPE)) return false;
        if (platform::MonotonicMillis() >= due) return true;
        waiter.Next();
    }
}

}  // namespace kestrova

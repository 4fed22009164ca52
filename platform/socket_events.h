// The event source of one socket: socket readiness, look-up completions, a 500 ms tick and
// console input arrive as notices in one queue. Taking the next notice blocks in poll() on the
// socket, the resolver and the console input, at most until the next tick is due.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/host_lookup.h"

namespace kestrova::platform {

// Socket events, as bits in the order of the socket's event set.
inline constexpr unsigned kEventConnect = 1u << 0;
inline constexpr unsigned kEventAccept = 1u << 1;
inline constexpr unsigned kEventRead = 1u << 2;
inline constexpr unsigned kEventWrite = 1u << 3;
inline constexpr unsigned kEventResolved = 1u << 4;
inline constexpr unsigned kEventClose = 1u << 5;

inline constexpr uint64_t kTickMillis = 500;

struct SocketNotice {
    enum class Kind { Socket, LookupDone, Tick, ConsoleInput };
    Kind kind = Kind::Tick;
    unsigned event = 0;  // one kEvent* bit for Socket and LookupDone
    int error = 0;       // a socket error number, 0 for none
};

class SocketEventSource {
  public:
    SocketEventSource() = default;
    SocketEventSource(const SocketEventSource&) = delete;
    SocketEventSource& operator=(const SocketEventSource&) = delete;

    // Watches fd for the given events (0 or fd -1: none), forgetting notices still queued for an
    // earlier selection. An event is reported once and then stays quiet until it is re-armed:
    // a receive re-arms read, a send that would block re-arms write, an accept re-arms accept.
    // Connect and close are reported once per selection.
    void Select(int fd, unsigned events);
    void Rearm(unsigned events) { armed_ |= events & selected_; }

    // The tick runs only between these; StartTimer restarts it a full period from now.
    void StartTimer();
    void StopTimer() {
        timerRunning_ = false;
        DropTicks();
    }

    HostLookup& Lookup() { return lookup_; }

    // The next notice, waiting for one as long as it takes.
    SocketNotice Next();

  private:
    void PollOnce();
    void DropTicks();
    void CheckSocket(short revents);
    void Push(SocketNotice::Kind kind, unsigned event, int error);

    std::deque<SocketNotice> queue_;
    HostLookup lookup_;
    int fd_ = -1;
    unsigned selected_ = 0;
    unsigned armed_ = 0;
    bool timerRunning_ = false;
    uint64_t nextTick_ = 0;
    // Console input is reported once, then not watched again until the next tick, so that input
    // nobody takes does not keep waking the wait.
    bool consoleArmed_ = true;
};

}  // namespace kestrova::platform

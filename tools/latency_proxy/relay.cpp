#include "relay.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kestrova::tools {

namespace {

constexpr size_t kReadSize = 1 << 16;
constexpr size_t kMinRatedRead = 512;

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

}  // namespace

Relay::Relay(int client, int target, Clock::duration delay, size_t maxQueued, double rate)
    : up_{client, target},
      down_{target, client},
      delay_(delay),
      maxQueued_(maxQueued),
      rate_(rate) {}

Relay::~Relay() {
    close(up_.from);
    close(up_.to);
}

short Relay::Events(int fd) const {
    short events = 0;
    for (const Direction* direction : {&up_, &down_}) {
        if (direction->from == fd && direction->Reading(maxQueued_)) events |= POLLIN;
        if (direction->to == fd && direction->waitWritable) events |= POLLOUT;
    }
    return events;
}

void Relay::Prepare(pollfd& client, pollfd& target) const {
    for (pollfd* entry : {&client, &target}) {
        const int fd = entry == &client ? up_.from : up_.to;
        entry->events = Events(fd);
        // Without interest poll would still report a hang-up at once, again and again.
        entry->fd = entry->events != 0 ? fd : -1;
        entry->revents = 0;
    }
}

void Relay::Handle(const pollfd& client, const pollfd& target, Clock::time_point now) {
    for (const pollfd* entry : {&client, &target}) {
        if (entry->revents == 0) continue;
        for (Direction* direction : {&up_, &down_}) {
            if (direction->to == entry->fd && (entry->revents & (POLLOUT | POLLERR | POLLHUP))) {
                direction->waitWritable = false;  // the next write finds out
            }
            if (direction->from == entry->fd && direction->Reading(maxQueued_)) {
                Read(*direction, now);
            }
        }
    }
}

void Relay::Read(Direction& direction, Clock::time_point now) {
    // Acknowledge at once, as on loopback: a delayed acknowledgement would hold back a sender's
    // next small segment (Nagle) and add time no round trip accounts for.
    const int on = 1;
    setsockopt(direction.from, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    char buffer[kReadSize];
    // With a rate, pieces of about 5 ms of the link each, so that bytes pass as they would.
    const size_t size = rate_ > 0
                            ? std::clamp(static_cast<size_t>(rate_ / 200), kMinRatedRead, kReadSize)
                            : kReadSize;
    const ssize_t count = recv(direction.from, buffer, size, MSG_DONTWAIT);
    if (count < 0) {
        if (!WouldBlock()) failed_ = true;
        return;
    }
    direction.readEnded = count == 0;
    direction.queued += static_cast<size_t>(count);
    Clock::time_point through = now;
    if (rate_ > 0) {
        direction.linkFree = std::max(direction.linkFree, now) +
                             std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(static_cast<double>(count) / rate_));
        through = direction.linkFree;
    }
    direction.chunks.push_back({through + delay_, std::string(buffer, static_cast<size_t>(count))});
}

void Relay::Flush(Clock::time_point now) {
    Write(up_, now);
    Write(down_, now);
}

void Relay::Write(Direction& direction, Clock::time_point now) {
    while (!failed_ && !direction.waitWritable && !direction.chunks.empty() &&
           direction.chunks.front().due <= now) {
        const std::string& bytes = direction.chunks.front().bytes;
        if (bytes.empty()) {
            shutdown(direction.to, SHUT_WR);
            direction.writeEnded = true;
            direction.chunks.pop_front();
            continue;
        }
        const ssize_t count = send(direction.to, bytes.data() + direction.written,
                                   bytes.size() - direction.written, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (count < 0) {
            if (WouldBlock()) {
                direction.waitWritable = true;
            } else {
                failed_ = true;
            }
            return;
        }
        direction.written += static_cast<size_t>(count);
        direction.queued -= static_cast<size_t>(count);
        if (direction.written == bytes.size()) {
            direction.chunks.pop_front();
            direction.written = 0;
        }
    }
}

Clock::time_point Relay::NextDue() const {
    Clock::time_point next = Clock::time_point::max();
    for (const Direction* direction : {&up_, &down_}) {
        if (!direction->waitWritable && !direction->chunks.empty()) {
            next = std::min(next, direction->chunks.front().due);
        }
    }
    return next;
}

bool Relay::Finished() const {
    return failed_ || (up_.writeEnded && down_.writeEnded);
}

}  // namespace kestrova::tools

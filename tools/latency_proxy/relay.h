// One proxied connection: the accepted socket and its connection to the target, each direction
// holding the bytes it read back for a fixed delay before writing them on, in the order read;
// with a rate, each direction also passes no more bytes per second than the rate, as a link of
// that bandwidth would.
#pragma once

#include <poll.h>

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>

namespace kestrova::tools {

using Clock = std::chrono::steady_clock;

class Relay {
  public:
    // Takes both non-blocking sockets; a direction stops reading while more than maxQueued
    // bytes wait in it. rate: bytes per second each way, 0 for no limit.
    Relay(int client, int target, Clock::duration delay, size_t maxQueued, double rate);
    ~Relay();
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    // The poll entries of the two sockets (a socket with nothing to wait for gets fd -1).
    void Prepare(pollfd& client, pollfd& target) const;
    // Reads what the sockets reported ready, stamping each chunk with now.
    void Handle(const pollfd& client, const pollfd& target, Clock::time_point now);
    // Writes every chunk due by now that the sockets take.
    void Flush(Clock::time_point now);
    // When the next chunk falls due, or Clock::time_point::max() when none waits on a timer.
    Clock::time_point NextDue() const;
    // Both ends were passed on, or a socket failed: the relay can be dropped.
    bool Finished() const;

  private:
    // Bytes read at one moment; empty bytes stand for the end of the stream.
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };
    struct Direction {
        Direction(int source, int sink) : from(source), to(sink) {}

        int from, to;
        std::deque<Chunk> chunks;
        size_t queued = 0;   // bytes in chunks not yet written
        size_t written = 0;  // bytes of the front chunk already written
        bool readEnded = false, writeEnded = false, waitWritable = false;
        Clock::time_point linkFree{};  // with a rate: when the bytes read so far are through

        bool Reading(size_t maxQueued) const { return !readEnded && queued <= maxQueued; }
    };

    short Events(int fd) const;
    void Read(Direction& direction, Clock::time_point now);
    void Write(Direction& direction, Clock::time_point now);

    Direction up_, down_;
    Clock::duration delay_;
    size_t maxQueued_;
    double rate_;
    bool failed_ = false;
};

}  // namespace kestrova::tools

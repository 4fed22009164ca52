// One asynchronous look-up of a host name's IPv4 and IPv6 addresses. The caller polls the
// descriptors it names and hands the readiness back; the result arrives without blocking the
// thread.
#pragma once

#include <netinet/in.h>
#include <poll.h>

#include <string>
#include <vector>

#include "platform/socket_address.h"

struct ares_channeldata;
struct ares_addrinfo;

namespace kestrova::platform {

// Look-up failures as socket error numbers.
inline constexpr int kHostNotFound = 11001;    // the name does not exist
inline constexpr int kHostTryAgain = 11002;    // no authoritative answer (server failure)
inline constexpr int kHostNoRecovery = 11003;  // a non-recoverable error
inline constexpr int kHostNoData = 11004;      // the name exists but has no address

class HostLookup {
  public:
    HostLookup() = default;
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // Starts resolving name, cancelling a look-up still running. False (and Error() set) when
    // the resolver could not start.
    bool Start(const std::string& name);
    void Cancel();

    bool Pending() const { return channel_ != nullptr && !done_; }
    // True once, when a look-up has finished and the result was not yet taken by TakeDone.
    bool TakeDone();
    int Error() const { return error_; }  // 0 or a look-up failure number
    // Every address of the name in the resolver's order of preference, ports 0.
    const std::vector<SocketAddress>& Addresses() const { return addresses_; }

    // Appends the resolver's descriptors to poll; returns the milliseconds until the resolver
    // needs attention for its own time-outs (-1: none pending).
    int AddPollFds(std::vector<pollfd>& fds);
    // Processes the readiness poll reported for the entries this look-up added at fds[first...],
    // and any resolver time-out that has passed.
    void Process(const std::vector<pollfd>& fds, size_t first, size_t count);

  private:
    static void Completed(void* arg, int status, int timeouts, ::ares_addrinfo* result);
    void Finish(int error);
    void ReleaseChannel();

    ares_channeldata* channel_ = nullptr;
    bool done_ = false;
    bool reported_ = true;
    int error_ = 0;
    std::vector<SocketAddress> addresses_;
};

}  // namespace kestrova::platform

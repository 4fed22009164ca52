#include "platform/host_lookup.h"

#include <ares.h>
#include <sys/time.h>

#include <mutex>

namespace kestrova::platform {

namespace {

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { ares_library_init(ARES_LIB_INIT_ALL); });
}

// A name with more addresses than this has the rest ignored: each one may cost a connect time-out.
constexpr size_t kMaxAddresses = 16;

int LookupErrorFromStatus(int status) {
    switch (status) {
        case ARES_ENOTFOUND:
            return kHostNotFound;
        case ARES_ENODATA:
            return kHostNoData;
        case ARES_ESERVFAIL:
        case ARES_ETIMEOUT:
        case ARES_ECONNREFUSED:
        case ARES_EREFUSED:
            return kHostTryAgain;
        default:
            return kHostNoRecovery;
    }
}

}  // namespace

HostLookup::~HostLookup() {
    Cancel();
}

bool HostLookup::Start(const std::string& name) {
    Cancel();
    InitLibraryOnce();
    done_ = false;
    reported_ = false;
    error_ = 0;
    addresses_.clear();
    if (ares_init(&channel_) != ARES_SUCCESS) {
        channel_ = nullptr;
        Finish(kHostNoRecovery);
        return false;
    }
    ares_addrinfo_hints hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Names from /etc/hosts (and refused names such as .onion) complete inside this call.
    ares_getaddrinfo(channel_, name.c_str(), nullptr, &hints, &HostLookup::Completed, this);
    if (done_) ReleaseChannel();
    return true;
}

void HostLookup::Cancel() {
    ReleaseChannel();
    reported_ = true;
}

void HostLookup::ReleaseChannel() {
    if (channel_ == nullptr) return;
    ares_channel channel = channel_;
    channel_ = nullptr;  // the callbacks that destruction runs are ignored
    ares_destroy(channel);
}

bool HostLookup::TakeDone() {
    if (!done_ || reported_) return false;
    reported_ = true;
    return true;
}

void HostLookup::Completed(void* arg, int status, int /*timeouts*/, ares_addrinfo* result) {
    auto* self = static_cast<HostLookup*>(arg);
    if (self->channel_ == nullptr || status == ARES_ECANCELLED || status == ARES_EDESTRUCTION) {
        if (result != nullptr) ares_freeaddrinfo(result);
        return;
    }
    self->addresses_.clear();
    for (ares_addrinfo_node* node = result != nullptr ? result->nodes : nullptr;
         status == ARES_SUCCESS && node != nullptr && self->addresses_.size() < kMaxAddresses;
         node = node->ai_next) {
        SocketAddress address{};
        if (node->ai_family == AF_INET && node->ai_addrlen >= sizeof address.v4) {
            address.v4 = *reinterpret_cast<const sockaddr_in*>(node->ai_addr);
        } else if (node->ai_family == AF_INET6 && node->ai_addrlen >= sizeof address.v6) {
            address.v6 = *reinterpret_cast<const sockaddr_in6*>(node->ai_addr);
        } else {
            continue;
        }
        SetAddressPort(address, 0);
        self->addresses_.push_back(address);
    }
    if (result != nullptr) ares_freeaddrinfo(result);
    if (status != ARES_SUCCESS) {
        self->Finish(LookupErrorFromStatus(status));
    } else {
        self->Finish(self->addresses_.empty() ? kHostNoData : 0);
    }
}

void HostLookup::Finish(int error) {
    done_ = true;
    error_ = error;
}

int HostLookup::AddPollFds(std::vector<pollfd>& fds) {
    if (!Pending()) return -1;
    ares_socket_t sockets[ARES_GETSOCK_MAXNUM];
    const int mask = ares_getsock(channel_, sockets, ARES_GETSOCK_MAXNUM);
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
        short events = 0;
        if (ARES_GETSOCK_READABLE(mask, i)) events |= POLLIN;
        if (ARES_GETSOCK_WRITABLE(mask, i)) events |= POLLOUT;
        if (events != 0) fds.push_back({sockets[i], events, 0});
    }
    timeval limit{};
    timeval* next = ares_timeout(channel_, nullptr, &limit);
    if (next == nullptr) return -1;
    return static_cast<int>(next->tv_sec * 1000 + (next->tv_usec + 999) / 1000);
}

void HostLookup::Process(const std::vector<pollfd>& fds, size_t first, size_t count) {
    for (size_t i = first; i < first + count && Pending(); ++i) {
        const pollfd& p = fds[i];
        if (p.revents == 0) continue;
        const bool readable = (p.revents & (POLLIN | POLLERR | POLLHUP)) != 0;
        const bool writable = (p.revents & POLLOUT) != 0;
        ares_process_fd(channel_, readable ? p.fd : ARES_SOCKET_BAD,
                        writable ? p.fd : ARES_SOCKET_BAD);
    }
    if (Pending()) ares_process_fd(channel_, ARES_SOCKET_BAD, ARES_SOCKET_BAD);  // time-outs
    if (done_) ReleaseChannel();
}

}  // namespace kestrova::platform

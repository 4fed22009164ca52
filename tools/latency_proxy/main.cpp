// A loopback latency proxy for tests and benchmarks: forwards every connection accepted on its
// port to a target, holding back each chunk it reads for a fixed delay in each direction (so a
// round trip takes twice the delay more), and with --rate passing at most that many bytes per
// second in each direction. Order is kept; a direction stops reading while more than
// --max-queued bytes wait in it. Only data is delayed, not the connection's set-up.
//
//   latency_proxy --to HOST:PORT --delay-ms MS [--port N] [--host ADDR] [--once]
//                 [--idle-seconds S] [--max-queued BYTES] [--rate BYTES_PER_SECOND]
//
// Prints "PORT <n>" on standard output once it listens (--port 0, the default, picks a free
// port). It stops when its parent process dies, after --idle-seconds (default 120) without an
// open connection, on SIGTERM, or with --once when its first connection has ended.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "relay.h"

namespace kestrova::tools {
namespace {

struct Arguments {
    std::string host = "127.0.0.1", port = "0";
    std::string targetHost, targetPort;
    double delayMs = -1;
    double idleSeconds = 120;
    size_t maxQueued = 1 << 20;
    double rate = 0;  // bytes per second each way; 0: no limit
    bool once = false;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "latency_proxy: %s\n", message.c_str());
    std::exit(2);
}

double Number(const char* text, double low, double high, const char* name) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value) || value < low ||
        value > high) {
        Fail(std::string(name) + ": \"" + text + "\" is not a number in range");
    }
    return value;
}

// HOST:PORT, the host of an IPv6 address in brackets.
void SplitTarget(const std::string& text, Arguments& arguments) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
        Fail("--to takes HOST:PORT, not \"" + text + "\"");
    }
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    arguments.targetHost = host;
    arguments.targetPort = text.substr(colon + 1);
}

Arguments Parse(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--once") {
            arguments.once = true;
            continue;
        }
        if (i + 1 == argc) Fail("unknown option or missing value: " + name);
        const char* value = argv[++i];
        if (name == "--to") {
            SplitTarget(value, arguments);
        } else if (name == "--delay-ms") {
            arguments.delayMs = Number(value, 0, 60000, "--delay-ms");
        } else if (name == "--port") {
            arguments.port = std::to_string(static_cast<int>(Number(value, 0, 65535, "--port")));
        } else if (name == "--host") {
            arguments.host = value;
        } else if (name == "--idle-seconds") {
            arguments.idleSeconds = Number(value, 0, 1e6, "--idle-seconds");
        } else if (name == "--rate") {
            arguments.rate = Number(value, 0, 1e12, "--rate");
        } else if (name == "--max-queued") {
            arguments.maxQueued = static_cast<size_t>(Number(value, 1, 1 << 30, "--max-queued"));
        } else {
            Fail("unknown option " + name);
        }
    }
    if (arguments.targetHost.empty() || arguments.delayMs < 0) {
        Fail(
            "usage: latency_proxy --to HOST:PORT --delay-ms MS [--port N] [--host ADDR] "
            "[--once] [--idle-seconds S] [--max-queued BYTES] [--rate BYTES_PER_SECOND]");
    }
    return arguments;
}

struct AddressList {
    addrinfo* first = nullptr;
    AddressList(const std::string& host, const std::string& port, bool passive) {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV | (passive ? AI_PASSIVE : 0);
        const int status = getaddrinfo(host.c_str(), port.c_str(), &hints, &first);
        if (status != 0) Fail(host + ":" + port + ": " + gai_strerror(status));
    }
    ~AddressList() { freeaddrinfo(first); }
};

void NoDelay(int fd) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

int Listen(const Arguments& arguments, uint16_t& port) {
    const AddressList addresses(arguments.host, arguments.port, true);
    const addrinfo* address = addresses.first;
    const int fd = socket(address->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (fd < 0 || bind(fd, address->ai_addr, address->ai_addrlen) != 0 || listen(fd, 64) != 0) {
        Fail("cannot listen on " + arguments.host + ":" + arguments.port + ": " +
             std::strerror(errno));
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    return fd;
}

// A non-blocking connection to the first target address that takes one, or -1.
int ConnectTarget(const AddressList& target) {
    for (const addrinfo* address = target.first; address != nullptr; address = address->ai_next) {
        const int fd = socket(address->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) continue;
        if (connect(fd, address->ai_addr, address->ai_addrlen) == 0) {
            NoDelay(fd);
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            return fd;
        }
        close(fd);
    }
    return -1;
}

timespec Timeout(Clock::duration wait) {
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::max(wait, Clock::duration::zero()));
    return {static_cast<time_t>(nanoseconds.count() / 1000000000),
            static_cast<long>(nanoseconds.count() % 1000000000)};
}

int Serve(const Arguments& arguments) {
    const AddressList target(arguments.targetHost, arguments.targetPort, false);
    const auto delay = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(arguments.delayMs));
    const auto idle = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(arguments.idleSeconds));
    uint16_t port = 0;
    int listener = Listen(arguments, port);
    std::printf("PORT %u\n", port);
    std::fflush(stdout);

    std::vector<std::unique_ptr<Relay>> relays;
    std::vector<pollfd> entries;
    bool accepted = false;
    Clock::time_point idleSince = Clock::now();
    for (;;) {
        Clock::time_point now = Clock::now();
        Clock::time_point deadline = Clock::time_point::max();
        for (auto& relay : relays) relay->Flush(now);
        const size_t open = relays.size();
        std::erase_if(relays, [](const auto& relay) { return relay->Finished(); });
        if (relays.empty()) {
            if (open != 0) idleSince = now;
            if (arguments.once && accepted) return 0;
            if (now - idleSince >= idle) return 0;
            deadline = idleSince + idle;
        }
        entries.assign(1 + 2 * relays.size(), pollfd{});
        entries[0] = {listener, POLLIN, 0};
        for (size_t i = 0; i < relays.size(); ++i) {
            relays[i]->Prepare(entries[1 + 2 * i], entries[2 + 2 * i]);
            deadline = std::min(deadline, relays[i]->NextDue());
        }
        const timespec timeout = Timeout(deadline - now);
        if (ppoll(entries.data(), entries.size(),
                  deadline == Clock::time_point::max() ? nullptr : &timeout, nullptr) < 0 &&
            errno != EINTR) {
            Fail(std::string("poll: ") + std::strerror(errno));
        }
        now = Clock::now();
        for (size_t i = 0; i < relays.size(); ++i) {
            relays[i]->Handle(entries[1 + 2 * i], entries[2 + 2 * i], now);
        }
        if (entries[0].revents == 0) continue;
        const int client = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) continue;
        const int server = ConnectTarget(target);
        if (server < 0) {
            std::fprintf(stderr, "latency_proxy: cannot connect to %s:%s: %s\n",
                         arguments.targetHost.c_str(), arguments.targetPort.c_str(),
                         std::strerror(errno));
            close(client);
            continue;
        }
        NoDelay(client);
        relays.push_back(
            std::make_unique<Relay>(client, server, delay, arguments.maxQueued, arguments.rate));
        accepted = true;
        if (arguments.once) {
            close(listener);
            listener = -1;  // poll skips it from now on
        }
    }
}

}  // namespace
}  // namespace kestrova::tools

int main(int argc, char** argv) {
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) return 0;  // the parent died before the line above
    return kestrova::tools::Serve(kestrova::tools::Parse(argc, argv));
}

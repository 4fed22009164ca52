// Line reading throughput: a 100 MB multi-line stream from a loopback peer, read through
// TWinSocket::ReadLine and, in the same run, by a plain recv loop (the floor). Prints MB/s of
// both and their ratio.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "net/loopback_peer.h"
#include "net/win_socket.h"

namespace {

constexpr int kRepeats = 100;  // 100 x 1 MB

// About 1 MB of lines of 10 to 129 characters, CR LF ended, like article text.
std::string MakePattern(size_t& lines) {
    std::string pattern;
    lines = 0;
    for (unsigned seed = 1; pattern.size() < 1'000'000; ++lines) {
        seed = seed * 1103515245u + 12345u;
        const size_t length = 10 + (seed >> 16) % 120;
        for (size_t i = 0; i < length; ++i) pattern += static_cast<char>('!' + (seed + i * 7) % 90);
        pattern += "\r\n";
    }
    return pattern;
}

// Serves the pattern kRepeats times to one client per call, then closes.
class StreamPeer {
  public:
    explicit StreamPeer(const std::string& pattern)
        : pattern_(pattern), listener_(kestrova::testing::BoundLoopbackSocket(port_)) {
        listen(listener_, 4);
    }
    ~StreamPeer() { close(listener_); }

    uint16_t Port() const { return port_; }

    std::thread ServeOnce() {
        return std::thread([this] {
            const int fd = accept(listener_, nullptr, nullptr);
            for (int i = 0; i < kRepeats; ++i) {
                for (size_t sent = 0; sent < pattern_.size();) {
                    const ssize_t n =
                        send(fd, pattern_.data() + sent, pattern_.size() - sent, MSG_NOSIGNAL);
                    if (n <= 0) break;
                    sent += static_cast<size_t>(n);
                }
            }
            close(fd);
        });
    }

  private:
    const std::string& pattern_;
    uint16_t port_ = 0;  // set by the listener's initializer, so it comes first
    int listener_;
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The floor: a blocking recv loop with a 64 KB buffer, re-arming quick ACKs as the socket does.
double PlainRecv(StreamPeer& peer, size_t expectedBytes) {
    std::thread server = peer.ServeOnce();
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(peer.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    static char buffer[64 * 1024];
    size_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        total += static_cast<size_t>(n);
    }
    const double seconds = Seconds(start);
    close(fd);
    server.join();
    if (total != expectedBytes)
        std::fprintf(stderr, "plain loop got %zu of %zu bytes\n", total, expectedBytes);
    return static_cast<double>(total) / 1e6 / seconds;
}

double ReadLines(StreamPeer& peer, size_t expectedBytes, size_t expectedLines) {
    std::thread server = peer.ServeOnce();
    kestrova::TWinSocket socket(5, 1024);
    socket.AcquireWindow();  // held across operations, as the news session does
    socket.SocketConnect("127.0.0.1", peer.Port());
    std::string line;
    size_t total = 0;
    size_t lines = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const int taken = socket.ReadLine(line);
        if (taken == 0 && !socket.IsConnected()) break;
        total += line.size() + 2;  // every line of the stream ends in CR LF
        ++lines;
    }
    const double seconds = Seconds(start);
    socket.ReleaseWindow();
    server.join();
    if (total != expectedBytes || lines != expectedLines) {
        std::fprintf(stderr, "ReadLine got %zu of %zu bytes, %zu of %zu lines\n", total,
                     expectedBytes, lines, expectedLines);
    }
    return static_cast<double>(total) / 1e6 / seconds;
}

}  // namespace

int main() {
    size_t patternLines = 0;
    const std::string pattern = MakePattern(patternLines);
    const size_t bytes = pattern.size() * kRepeats;
    const size_t lines = patternLines * kRepeats;
    StreamPeer peer(pattern);
    std::printf("stream: %.1f MB in %zu lines\n", static_cast<double>(bytes) / 1e6, lines);
    // The machine may be busy: rounds run back to back, and the median round's ratio counts.
    constexpr int kRounds = 5;
    std::vector<double> ratios;
    for (int round = 1; round <= kRounds; ++round) {
        const double plain = PlainRecv(peer, bytes);
        const double viaReadLine = ReadLines(peer, bytes, lines);
        std::printf("round %d: plain recv %8.1f MB/s   ReadLine %8.1f MB/s   ratio %.2f\n", round,
                    plain, viaReadLine, viaReadLine / plain);
        ratios.push_back(viaReadLine / plain);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio ReadLine / plain recv: %.2f\n", ratios[kRounds / 2]);
    return 0;
}

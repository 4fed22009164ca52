// A peer on 127.0.0.1 for socket tests: it accepts one connection on a thread and runs a
// script on it with blocking calls.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace kestrova::testing {

// Blocking helpers for the peer's side; they give up after a few seconds so a broken client
// cannot hang a test.
inline void SendAllBytes(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

inline std::string ReceiveUntilClosed(int fd) {
    std::string all;
    char chunk[4096];
    for (;;) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return all;
        all.append(chunk, static_cast<size_t>(n));
    }
}

inline std::string ReceiveLine(int fd) {
    std::string line;
    char c;
    while (recv(fd, &c, 1, 0) == 1) {
        line += c;
        if (c == '\n') break;
    }
    return line;
}

// A port on which nothing listens.
inline uint16_t ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class LoopbackPeer {
  public:
    // script runs on the accepted connection, which is closed after it returns.
    explicit LoopbackPeer(std::function<void(int fd)> script) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 1);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, script = std::move(script)] {
            const int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0) return;
            const timeval limit{5, 0};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            script(fd);
            close(fd);
        });
    }
    ~LoopbackPeer() {
        shutdown(listener_, SHUT_RDWR);  // frees an accept nobody connected to
        if (thread_.joinable()) thread_.join();
        close(listener_);
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    uint16_t Port() const { return port_; }
    // Waits until the script has finished.
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

  private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

}  // namespace kestrova::testing

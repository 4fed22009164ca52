// A peer on 127.0.0.1 for socket tests: it accepts one connection on a thread and runs a
// script on it with blocking calls that give up after a few seconds, so a broken client cannot
// hang a test.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "common/errors.h"

namespace kestrova::testing {

inline void SendAllBytes(int fd, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

// Bytes up to the end of the stream (oneLine false) or up to and with the first "\n".
inline std::string Receive(int fd, bool oneLine) {
    std::string all;
    for (char c; recv(fd, &c, 1, 0) == 1;) {
        all += c;
        if (oneLine && c == '\n') break;
    }
    return all;
}
inline std::string ReceiveUntilClosed(int fd) {
    return Receive(fd, false);
}
inline std::string ReceiveLine(int fd) {
    return Receive(fd, true);
}

// A TCP socket bound to a free port of 127.0.0.1.
inline int BoundLoopbackSocket(uint16_t& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

// A port on which nothing listens.
inline uint16_t ClosedPort() {
    uint16_t port = 0;
    close(BoundLoopbackSocket(port));
    return port;
}

class LoopbackPeer {
  public:
    // script runs on the accepted connection, which is closed after it returns.
    explicit LoopbackPeer(std::function<void(int fd)> script)
        : listener_(BoundLoopbackSocket(port_)) {
        listen(listener_, 1);
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
        Join();
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
    uint16_t port_ = 0;
    int listener_ = -1;
    std::thread thread_;
};

// A peer that sends bytes, then closes once the client has closed (or at once).
inline LoopbackPeer Sender(std::string bytes, bool closeAfterSending = false) {
    return LoopbackPeer([bytes = std::move(bytes), closeAfterSending](int fd) {
        SendAllBytes(fd, bytes);
        if (!closeAfterSending) ReceiveUntilClosed(fd);
    });
}

// "code proc: message" of the socket error call raises.
template <typename Call>
std::string RaisedBy(Call call) {
    try {
        call();
    } catch (const ESocketError& e) {
        return std::to_string(e.Code) + " " + e.ProcName + ": " + e.Message;
    }
    return "no error";
}

}  // namespace kestrova::testing

#include "bench/nntp_floor_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace kestrova::bench {

namespace {

constexpr size_t kBufferSize = 1 << 16;

void SetTcpOption(int fd, int option) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, option, &on, sizeof on);
}

}  // namespace

NntpFloorClient::NntpFloorClient(uint16_t port) : buffer_(kBufferSize) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) throw std::runtime_error("socket: " + std::string(std::strerror(errno)));
    SetTcpOption(fd_, TCP_NODELAY);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const std::string reason = std::strerror(errno);
        close(fd_);
        throw std::runtime_error("connect: " + reason);
    }
    status_ = std::string(ReadLine());
    if (!status_.starts_with("20")) {
        close(fd_);
        throw std::runtime_error("greeting: " + status_);
    }
}

NntpFloorClient::~NntpFloorClient() {
    constexpr char kQuit[] = "QUIT\r\n";
    send(fd_, kQuit, sizeof kQuit - 1, MSG_NOSIGNAL);
    close(fd_);
}

int NntpFloorClient::Command(std::string_view line) {
    Send(line);
    return ReadStatus();
}

void NntpFloorClient::Send(std::string_view line) {
    unsent_ += line;
    unsent_ += "\r\n";
}

int NntpFloorClient::ReadStatus() {
    status_ = std::string(ReadLine());
    if (status_.size() < 3) return 0;
    return (status_[0] - '0') * 100 + (status_[1] - '0') * 10 + (status_[2] - '0');
}

size_t NntpFloorClient::SkipBlock() {
    size_t lines = 0;
    while (ReadLine() != ".") ++lines;
    return lines;
}

std::vector<std::string> NntpFloorClient::ReadBlock() {
    std::vector<std::string> lines;
    for (std::string_view line = ReadLine(); line != "."; line = ReadLine()) {
        lines.emplace_back(line);
    }
    return lines;
}

size_t NntpFloorClient::ReadBlockText(std::string& text) {
    text.clear();
    size_t lines = 0;
    for (std::string_view line = ReadLine(); line != "."; line = ReadLine(), ++lines) {
        text += line;
        text += "\r\n";
    }
    return lines;
}

std::string_view NntpFloorClient::ReadLine() {
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const void* found = std::memchr(start, '\n', end_ - begin_);
        if (found != nullptr) {
            const auto* newline = static_cast<const char*>(found);
            size_t length = static_cast<size_t>(newline - start);
            if (length > 0 && start[length - 1] == '\r') --length;
            begin_ = static_cast<size_t>(newline - buffer_.data()) + 1;
            return std::string_view(start, length);
        }
        if (begin_ > 0) {
            std::memmove(buffer_.data(), start, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
        if (!unsent_.empty()) {
            SendAll(unsent_);
            unsent_.clear();
        }
        SetTcpOption(fd_, TCP_QUICKACK);  // Linux leaves quick-ack mode by itself
        const ssize_t count = recv(fd_, buffer_.data() + end_, buffer_.size() - end_, 0);
        if (count <= 0) throw std::runtime_error("the server closed the connection");
        end_ += static_cast<size_t>(count);
    }
}

void NntpFloorClient::SendAll(const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t count = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) throw std::runtime_error("send: " + std::string(std::strerror(errno)));
        sent += static_cast<size_t>(count);
    }
}

}  // namespace kestrova::bench

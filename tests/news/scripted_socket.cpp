#include "news/scripted_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "ui/plugin_options.h"

namespace kestrova::testing {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

size_t TServerScript::OutputSize() const {
    size_t size = greeting.size();
    for (const std::string& reply : replies) size += reply.size();
    return size;
}

TServerScript TServerScript::CutAfterSent(size_t bytes) const {
    TServerScript cut = *this;
    cut.dropAfterSent = bytes;
    return cut;
}

// One connection played from its script; each step is false once the connection is over.
class TScriptedServer::Connection {
  public:
    Connection(TScriptedServer& server, int fd, const TServerScript& script, size_t index)
        : server_(server), fd_(fd), script_(script), index_(index) {}

    void Play() {
        if (!Send(script_.greeting)) return;
        bool dataFollows = false;
        for (const std::string& reply : script_.replies) {
            if (dataFollows ? !ReadDataBlock() : !ReadCommand()) return;
            if (!Send(reply)) return;
            dataFollows = reply.starts_with("340") || reply.starts_with("335");
        }
        ReadCommand();  // the script has no reply to it: the connection ends
    }

  private:
    bool ReadCommand() {
        std::string line;
        if (!ReadLine(line)) return false;
        std::lock_guard lock(server_.mutex_);
        server_.commands_.push_back(line);
        return true;
    }

    bool ReadDataBlock() {
        for (std::string line; ReadLine(line);) {
            if (line == ".") return true;
        }
        return false;
    }

    bool ReadLine(std::string& line) {
        for (size_t end; (end = pending_.find('\n')) == std::string::npos;) {
            if (!Receive()) return false;
        }
        const size_t end = pending_.find('\n');
        line = pending_.substr(0, end > 0 && pending_[end - 1] == '\r' ? end - 1 : end);
        pending_.erase(0, end + 1);
        return true;
    }

    // Takes what the client sent, up to the script's limit.
    bool Receive() {
        const size_t allowed =
            script_.dropAfterReceived - std::min(received_, script_.dropAfterReceived);
        if (allowed == 0 || !server_.Await(fd_, POLLIN)) return false;
        char chunk[4096];
        const ssize_t n = recv(fd_, chunk, std::min(sizeof chunk, allowed), 0);
        if (n < 0 && errno == EAGAIN) return true;
        if (n <= 0) return false;
        received_ += static_cast<size_t>(n);
        pending_.append(chunk, static_cast<size_t>(n));
        std::lock_guard lock(server_.mutex_);
        server_.received_[index_].append(chunk, static_cast<size_t>(n));
        return true;
    }

    // Sends bytes up to the script's limit; at the limit the server stops sending and takes
    // what the client still sends until it closes, so nothing it sent is refused.
    bool Send(const std::string& bytes) {
        const size_t allowed = script_.dropAfterSent - std::min(sent_, script_.dropAfterSent);
        const size_t count = std::min(bytes.size(), allowed);
        for (size_t done = 0; done < count;) {
            if (!server_.Await(fd_, POLLOUT)) return false;
            const ssize_t n = send(fd_, bytes.data() + done, count - done, MSG_NOSIGNAL);
            if (n < 0 && errno == EAGAIN) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        sent_ += count;
        if (count == bytes.size()) return true;
        shutdown(fd_, SHUT_WR);
        while (Receive()) {
        }
        return false;
    }

    TScriptedServer& server_;
    int fd_;
    const TServerScript& script_;
    size_t index_;
    size_t sent_ = 0;
    size_t received_ = 0;
    std::string pending_;
};

TScriptedServer::TScriptedServer(std::vector<TServerScript> scripts)
    : scripts_(std::move(scripts)) {
    for (TServerScript& script : scripts_) {
        if (!script.greeting.ends_with('\n')) script.greeting += "\r\n";
        for (std::string& reply : script.replies) {
            if (!reply.ends_with('\n')) reply += "\r\n";
        }
    }
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        pipe2(stop_, O_CLOEXEC) != 0) {
        throw std::runtime_error("the scripted server cannot listen");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TScriptedServer::~TScriptedServer() {
    (void)!write(stop_[1], "x", 1);
    thread_.join();
    close(listener_);
    close(stop_[0]);
    close(stop_[1]);
}

void TScriptedServer::Serve() {
    for (size_t index = 0; Await(listener_, POLLIN); ++index) {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard lock(mutex_);
            received_.emplace_back();
        }
        if (index < scripts_.size()) Connection(*this, fd, scripts_[index], index).Play();
        close(fd);
        std::lock_guard lock(mutex_);
        ++endedCount_;
        ended_.notify_all();
    }
}

bool TScriptedServer::Await(int fd, short events) const {
    pollfd ready[2] = {{fd, events, 0}, {stop_[0], POLLIN, 0}};
    while (poll(ready, 2, -1) < 0) {
    }
    return ready[1].revents == 0;
}

std::vector<std::string> TScriptedServer::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::string TScriptedServer::Received(size_t connection) const {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [&] { return endedCount_ > connection; });
    return connection < received_.size() ? received_[connection] : std::string();
}

void TScriptedSocket::GetSockAddress(const std::string& host, uint16_t /*port*/) {
    TWinSocket::GetSockAddress("127.0.0.1", server_.Port());
    HostName = host;
}

TScriptedNewsManager::TScriptedNewsManager(TScriptedServer& server, HANDLE owner)
    : TNewsInternetManager(owner, NoSocket{}), server_(server) {
    AttachSocket(CreateSocket());
}

std::unique_ptr<TWinSocket> TScriptedNewsManager::CreateSocket() {
    return std::make_unique<TScriptedSocket>(server_, Options.Connect.ServerTimeout,
                                             kNewsSocketBufferSize);
}

}  // namespace kestrova::testing

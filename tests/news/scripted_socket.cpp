#include "news/scripted_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

#include "net/loopback_peer.h"
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

// One connection played from its script; each step is false once the connection is over.
struct TScriptedServer::Connection {
    TScriptedServer& server;
    int fd;
    const TServerScript& script;
    size_t index;
    size_t sent = 0;
    size_t received = 0;
    std::string pending = {};

    // Before each reply, and past the last one, a command line or the data block that a 340 or
    // 335 asked for.
    void Play() {
        if (!Send(script.greeting)) return;
        const std::vector<std::string>& replies = script.replies;
        for (size_t i = 0; i <= replies.size(); ++i) {
            const bool data =
                i > 0 && (replies[i - 1].starts_with("340") || replies[i - 1].starts_with("335"));
            std::string line;
            do {
                if (!ReadLine(line)) return;
            } while (data && line != ".");
            if (!data) {
                std::lock_guard lock(server.mutex_);
                server.commands_.push_back(line);
            }
            if (i == replies.size() || !Send(replies[i])) return;
        }
    }

    bool ReadLine(std::string& line) {
        size_t end;
        while ((end = pending.find('\n')) == std::string::npos) {
            if (!Receive()) return false;
        }
        line = pending.substr(0, end);
        if (line.ends_with('\r')) line.pop_back();
        pending.erase(0, end + 1);
        return true;
    }

    // Takes what the client sent, up to the script's limit.
    bool Receive() {
        const size_t allowed =
            script.dropAfterReceived - std::min(received, script.dropAfterReceived);
        char chunk[4096];
        const ssize_t n = allowed == 0 ? 0 : recv(fd, chunk, std::min(sizeof chunk, allowed), 0);
        if (n <= 0) return false;
        received += static_cast<size_t>(n);
        pending.append(chunk, static_cast<size_t>(n));
        std::lock_guard lock(server.mutex_);
        server.received_[index].append(chunk, static_cast<size_t>(n));
        return true;
    }

    // Sends bytes up to the script's limit; at the limit the server stops sending and takes
    // what the client still sends until it closes, so nothing it sent is refused.
    bool Send(const std::string& bytes) {
        const size_t count =
            std::min(bytes.size(), script.dropAfterSent - std::min(sent, script.dropAfterSent));
        if (send(fd, bytes.data(), count, MSG_NOSIGNAL) != static_cast<ssize_t>(count))
            return false;
        sent += count;
        if (count == bytes.size()) return true;
        shutdown(fd, SHUT_WR);
        while (Receive()) {
        }
        return false;
    }
};

TScriptedServer::TScriptedServer(std::vector<TServerScript> scripts)
    : scripts_(std::move(scripts)) {
    for (TServerScript& script : scripts_) {
        if (!script.greeting.ends_with('\n')) script.greeting += "\r\n";
        for (std::string& reply : script.replies) {
            if (!reply.ends_with('\n')) reply += "\r\n";
        }
    }
    listener_ = BoundLoopbackSocket(port_);
    if (listen(listener_, 4) != 0) throw std::runtime_error("the scripted server cannot listen");
    thread_ = std::thread([this] { Serve(); });
}

// Shutting the listener down ends the wait for the next connection; the client has closed
// every connection by then.
TScriptedServer::~TScriptedServer() {
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
}

void TScriptedServer::Serve() {
    for (size_t index = 0;; ++index) {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        {
            std::lock_guard lock(mutex_);
            received_.emplace_back();
        }
        if (index < scripts_.size()) Connection{*this, fd, scripts_[index], index}.Play();
        close(fd);
        std::lock_guard lock(mutex_);
        ++endedCount_;
        ended_.notify_all();
    }
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

TScriptedNewsManager::TScriptedNewsManager(TScriptedServer& server, HANDLE owner)
    : TNewsInternetManager(owner, NoSocket{}), server_(server) {
    AttachSocket(CreateSocket());
}

// A socket whose every connection goes to the scripted server.
std::unique_ptr<TWinSocket> TScriptedNewsManager::CreateSocket() {
    struct Socket : TWinSocket {
        Socket(TScriptedServer& server)
            : TWinSocket(Options.Connect.ServerTimeout, kNewsSocketBufferSize), server(server) {}
        void GetSockAddress(const std::string& host, uint16_t /*port*/) override {
            TWinSocket::GetSockAddress("127.0.0.1", server.Port());
            HostName = host;
        }
        TScriptedServer& server;
    };
    return std::make_unique<Socket>(server_);
}

}  // namespace kestrova::testing

#include "news/scripted_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ui/plugin_options.h"

namespace kestrova::testing {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

size_t TServerScript::OutputSize() const {
    size_t size = greeting.size() + capabilities.size();
    for (const std::string& reply : replies) size += reply.size();
    return size;
}

// One connection played from its script (none past the scripts: it ends at once).
struct TScriptedServer::Connection {
    const TServerScript* script;
    std::string received = {};  // every byte the client sent
    std::string output = {};    // the server's bytes not read yet
    std::string pending = {};   // the client's line not complete yet
    size_t sent = 0;            // the server's bytes put out
    size_t replies = 0;         // replies put out
    size_t steps = 0;           // command lines taken
    bool inData = false;        // the client sends a data block
    bool dropped = false;       // the server puts out nothing more
    bool ended = false;         // the server takes nothing more either

    // Puts bytes out up to the script's limit.
    void Send(const std::string& bytes) {
        if (dropped) return;
        const size_t limit = script->dropAfterSent;
        const size_t count = std::min(bytes.size(), limit - std::min(sent, limit));
        output.append(bytes, 0, count);
        sent += count;
        if (count < bytes.size()) dropped = true;
    }

    // Takes one complete line of the client's: a command, or a line of a data block.
    void Take(std::string line, std::vector<std::string>& commands) {
        if (line.ends_with('\r')) line.pop_back();
        if (inData) {
            inData = line != ".";
            if (inData) return;
        } else {
            commands.push_back(line);
            const std::vector<std::string>& expected = script->expected;
            if (!expected.empty() && (steps >= expected.size() || expected[steps] != line)) {
                ADD_FAILURE() << "step " << steps + 1 << ": the client sent \"" << line
                              << "\", the script expects "
                              << (steps < expected.size() ? '"' + expected[steps] + '"'
                                                          : std::string("no more commands"));
                dropped = ended = true;
                return;
            }
            ++steps;
            if (line == "CAPABILITIES") {
                Send(script->capabilities);
                return;
            }
        }
        if (replies == script->replies.size()) {
            dropped = ended = true;  // past the replies the server ends
            return;
        }
        const std::string& reply = script->replies[replies++];
        Send(reply);
        inData = reply.starts_with("340") || reply.starts_with("335");
    }
};

// The client's socket: its connections are socket pairs, whose far end only keeps the near one
// writable and connected; the bytes themselves go to and come from the scripted connection.
class TScriptedServer::Socket : public TWinSocket {
  public:
    explicit Socket(TScriptedServer& server)
        : TWinSocket(Options.Connect.ServerTimeout, kNewsSocketBufferSize), server_(server) {}
    ~Socket() override { Socket::SocketClose(); }

    void GetSockAddress(const std::string& host, uint16_t /*port*/) override { HostName = host; }

    void SocketConnect(const std::string& /*host*/, uint16_t /*port*/) override {
        int pair[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
        far_ = pair[1];
        std::vector<TServerScript>& scripts = server_.scripts_;
        const size_t index = server_.connections_.size();
        server_.connections_.push_back(std::make_unique<Connection>(
            Connection{index < scripts.size() ? &scripts[index] : nullptr}));
        connection_ = server_.connections_.back().get();
        if (connection_->script != nullptr) {
            connection_->Send(connection_->script->greeting);
        } else {
            connection_->dropped = connection_->ended = true;
        }
        AdoptConnected(pair[0]);
    }

    void SocketClose() override {
        TWinSocket::SocketClose();
        if (far_ >= 0) close(far_);
        far_ = -1;
        connection_ = nullptr;
    }

  protected:
    long SendBytes(const char* data, size_t size, int /*flags*/) override {
        Connection& c = *connection_;
        const size_t limit = c.script != nullptr ? c.script->dropAfterReceived : 0;
        const size_t count = std::min(size, limit - std::min(c.received.size(), limit));
        if (count == 0) {
            errno = EPIPE;  // the server is gone
            return -1;
        }
        c.received.append(data, count);
        if (count < size) c.dropped = c.ended = true;
        c.pending.append(data, count);
        for (size_t end; !c.ended && (end = c.pending.find('\n')) != std::string::npos;) {
            c.Take(c.pending.substr(0, end), server_.commands_);
            c.pending.erase(0, end + 1);
        }
        return static_cast<long>(count);
    }

    long ReceiveBytes(char* space, size_t size) override {
        Connection& c = *connection_;
        if (c.output.empty()) {
            if (c.script != nullptr && c.script->dropIsReset && c.dropped) {
                errno = ECONNRESET;
                return -1;
            }
            return 0;  // the server has said all it will: the connection ends
        }
        const size_t readSize = c.script->readSize;
        const size_t count = std::min({size, c.output.size(), readSize ? readSize : size});
        std::memcpy(space, c.output.data(), count);
        c.output.erase(0, count);
        return static_cast<long>(count);
    }

  private:
    TScriptedServer& server_;
    Connection* connection_ = nullptr;
    int far_ = -1;
};

TScriptedServer::TScriptedServer(std::vector<TServerScript> scripts)
    : scripts_(std::move(scripts)) {
    for (TServerScript& script : scripts_) {
        if (!script.greeting.ends_with('\n')) script.greeting += "\r\n";
        if (!script.capabilities.ends_with('\n')) script.capabilities += "\r\n";
        for (std::string& reply : script.replies) {
            if (!reply.ends_with('\n')) reply += "\r\n";
        }
    }
}

TScriptedServer::~TScriptedServer() = default;

std::string TScriptedServer::Received(size_t connection) const {
    return connection < connections_.size() ? connections_[connection]->received : std::string();
}

std::unique_ptr<TWinSocket> TScriptedServer::CreateSocket() {
    return std::make_unique<Socket>(*this);
}

TScriptedNewsManager::TScriptedNewsManager(TScriptedServer& server)
    : TNewsInternetManager(nullptr, NoSocket{}), server_(server) {
    AttachSocket(CreateSocket());
}

}  // namespace kestrova::testing

// An in-process news server that plays a script per connection (the greeting, then one reply
// after each line the client sends, or after a data block that a 340 or 335 asked for; a reply
// without a line end gets CR LF), and the socket and manager that reach it through the manager's
// CreateSocket slot. A script can drop its connection after the first N bytes either side
// sends; past the replies, it ends.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/win_socket.h"
#include "news/news_internet_manager.h"

namespace kestrova::testing {

// The lines, each followed by CR LF: a reply or a greeting as it travels.
std::string Lines(const std::vector<std::string>& lines);

struct TServerScript {
    static constexpr size_t kNever = static_cast<size_t>(-1);

    std::string greeting = "200 ready\r\n";
    std::vector<std::string> replies;
    size_t dropAfterSent = kNever;      // bytes of the server's output before it drops
    size_t dropAfterReceived = kNever;  // bytes of the client's output before it drops

    // The bytes of the greeting and every reply.
    size_t OutputSize() const;
};

class TScriptedServer {
  public:
    explicit TScriptedServer(std::vector<TServerScript> scripts);
    ~TScriptedServer();

    uint16_t Port() const { return port_; }

    // The command lines the client sent, over every connection in order (data blocks left out).
    std::vector<std::string> Commands() const;
    // Every byte the client sent on connection index (0 for the first), once the server has
    // closed it: close the client's side first.
    std::string Received(size_t connection) const;

  private:
    struct Connection;

    void Serve();

    std::vector<TServerScript> scripts_;
    int listener_ = -1;
    uint16_t port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    size_t endedCount_ = 0;              // connections the server has closed
    std::vector<std::string> received_;  // per connection
    std::vector<std::string> commands_;
    std::thread thread_;
};

// The news manager with its socket from CreateSocket aimed at the scripted server.
class TScriptedNewsManager : public TNewsInternetManager {
  public:
    explicit TScriptedNewsManager(TScriptedServer& server, HANDLE owner = nullptr);
    std::unique_ptr<TWinSocket> CreateSocket() override;

  private:
    TScriptedServer& server_;
};

}  // namespace kestrova::testing

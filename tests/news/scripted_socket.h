// An in-memory news server for the session tests: each connection plays a script (the greeting,
// then one reply after each command line the client sends, or after the data block that a 340
// or 335 asked for; a reply without a line end gets CR LF). Everything happens inside the
// client's own calls: a command line is checked against the script's expected lines the moment
// it is sent, replies are read in pieces of the script's read size, and a script can drop its
// connection (a close, or a reset) after the first N bytes either side sends; past the replies,
// it ends.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "net/win_socket.h"
#include "news/news_internet_manager.h"

namespace kestrova::testing {

// The lines, each followed by CR LF: a reply or a greeting as it travels.
std::string Lines(const std::vector<std::string>& lines);

struct TServerScript {
    static constexpr size_t kNever = static_cast<size_t>(-1);

    std::string greeting = "200 ready\r\n";
    // The answer to every CAPABILITIES line (a command like any other, but one that takes none of
    // the replies): by default that of a server that predates the command.
    std::string capabilities = "500 unknown command\r\n";
    std::vector<std::string> replies = {};
    // The command lines the client must send, in order (none: any); another line fails the test
    // at once, naming the step, and ends the connection.
    std::vector<std::string> expected = {};
    size_t dropAfterSent = kNever;      // bytes of the server's output before it drops
    size_t dropAfterReceived = kNever;  // bytes of the client's output before it drops
    bool dropIsReset = false;           // the drop after dropAfterSent resets the connection
    size_t readSize = 0;                // the most bytes one read takes; 0: all there are

    // The bytes of the greeting, one answer to CAPABILITIES and every reply.
    size_t OutputSize() const;
};

class TScriptedServer {
  public:
    explicit TScriptedServer(std::vector<TServerScript> scripts);
    ~TScriptedServer();

    // The command lines the client sent, over every connection in order (data blocks left out).
    std::vector<std::string> Commands() const { return commands_; }
    // Every byte the client sent on connection index (0 for the first).
    std::string Received(size_t connection) const;
    // A socket whose every connection plays the next script.
    std::unique_ptr<TWinSocket> CreateSocket();

  private:
    class Socket;
    struct Connection;

    std::vector<TServerScript> scripts_;
    std::vector<std::unique_ptr<Connection>> connections_;
    std::vector<std::string> commands_;
};

// The news manager with its socket from CreateSocket playing the scripted server.
class TScriptedNewsManager : public TNewsInternetManager {
  public:
    explicit TScriptedNewsManager(TScriptedServer& server);
    std::unique_ptr<TWinSocket> CreateSocket() override { return server_.CreateSocket(); }

  private:
    TScriptedServer& server_;
};

}  // namespace kestrova::testing

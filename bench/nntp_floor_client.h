// The floor of the news benchmark: a minimal blocking NNTP client that reads replies with nothing
// done to the lines but finding their ends. It sends one command at a time (Command), or
// commands ahead of their replies (Send, then ReadStatus for each in order): what was sent
// goes out in one write when the client would otherwise wait for a reply. It sets
// TCP_NODELAY and re-arms TCP_QUICKACK before every receive, as the module's socket does, so
// the comparison is not skewed by delayed acknowledgements.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::bench {

class NntpFloorClient {
  public:
    // Connects to 127.0.0.1:port and reads the greeting; throws std::runtime_error on failure.
    explicit NntpFloorClient(uint16_t port);
    ~NntpFloorClient();
    NntpFloorClient(const NntpFloorClient&) = delete;
    NntpFloorClient& operator=(const NntpFloorClient&) = delete;

    // Sends line and returns the status code of the reply (its line stays in StatusLine()).
    int Command(std::string_view line);
    // Queues line to be sent before the client next waits for the server.
    void Send(std::string_view line);
    // Reads the next status line and returns its code (the line stays in StatusLine()).
    int ReadStatus();
    // Reads the lines of a multi-line block up to its "." line; returns how many there were.
    size_t SkipBlock();
    // Reads the lines of a multi-line block and returns them (as sent, not un-stuffed).
    std::vector<std::string> ReadBlock();
    // Reads the lines of a multi-line block into text, each followed by CR LF (as sent, not
    // un-stuffed); returns how many there were.
    size_t ReadBlockText(std::string& text);

    const std::string& StatusLine() const { return status_; }

  private:
    // The next line without its CR LF; valid until the next call.
    std::string_view ReadLine();
    void SendAll(const std::string& bytes);

    int fd_ = -1;
    std::vector<char> buffer_;
    size_t begin_ = 0, end_ = 0;
    std::string status_;
    std::string unsent_;
};

}  // namespace kestrova::bench

#include "net/win_socket.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "loopback_peer.h"
#include "net/socket_error_text.h"
#include "platform/clock.h"

namespace kestrova {
namespace {

using namespace std::string_literals;
using namespace testing;  // the loopback peer's helpers
using ::testing::StartsWith;

// The monotonic clock, moved by hand while an object lives.
struct FakeClock {
    static inline uint64_t now = 1'000'000;
    FakeClock() {
        platform::SetMonotonicClock([] { return now; });
    }
    ~FakeClock() { platform::SetMonotonicClock(nullptr); }
};

std::string Code(uint32_t code) {
    return std::to_string(code) + " ";
}

// A failed lookup or connect raises, or goes to OnError when it is set, and leaves the socket
// closed.
TEST(WinSocket, FailedConnectsRaiseOrGoToOnErrorAndLeaveTheSocketClosed) {
    const struct {
        const char* host;
        uint16_t port;
        std::string error;
    } cases[] = {
        {"no-such-host.onion", 119, Code(kRefused + 11001) + "SocketWait: Host not found"},
        {"127.0.0.1", ClosedPort(), Code(kTransient + 10061) + "SocketWait: Connection refused"},
    };
    for (const auto& c : cases) {
        for (const bool handled : {false, true}) {
            TWinSocket socket(5, 1024);
            std::string reported;
            if (handled) {
                socket.OnError = [&](TWinSocket&, uint32_t code, const std::string& proc,
                                     const std::string& text) {
                    reported += Code(code) + proc + ": " + text;
                };
            }
            const std::string raised = RaisedBy([&] { socket.SocketConnect(c.host, c.port); });
            EXPECT_EQ(handled ? reported : raised, c.error) << c.host;
            EXPECT_EQ(handled ? raised : reported, handled ? "no error" : "") << c.host;
            EXPECT_EQ(socket.State(), SocketState::Idle);
            EXPECT_EQ(socket.Handle, -1);
        }
    }
}

TEST(WinSocket, TriesEveryAddressInTurnAndReportsOnlyTheLastFailure) {
    const auto loopback = [](uint16_t port) {
        platform::SocketAddress address{};
        platform::ParseAddressLiteral("127.0.0.1", port, address);
        return address;
    };
    LoopbackPeer peer = Sender("200 ready\r\n");
    TWinSocket socket(5, 1024);
    std::vector<uint32_t> codes;
    socket.OnError = [&](TWinSocket&, uint32_t code, const std::string&, const std::string&) {
        codes.push_back(code);
    };
    std::string changes;
    socket.OnState = [&](TWinSocket&, SocketState from, SocketState to) {
        changes += std::string(SocketStateName(from)) + ">" + SocketStateName(to) + " ";
    };
    socket.Addresses = {loopback(ClosedPort()), loopback(peer.Port())};
    socket.SocketConnect("", 0);
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "200 ready");
    EXPECT_TRUE(codes.empty());
    socket.SocketClose();
    socket.SocketClose();  // no change, nothing reported
    EXPECT_EQ(changes, "idle>created created>idle idle>created created>connected connected>idle ");
    socket.Addresses = {loopback(ClosedPort()), loopback(ClosedPort())};
    socket.SocketConnect("", 0);
    EXPECT_EQ(codes, std::vector<uint32_t>{kTransient + 10061});
    EXPECT_EQ(socket.State(), SocketState::Idle);
}

// Every tick is due at once on the fake clock. Time-out 5 gives up with 20 ticks (one call at
// the start of the wait and one per tick, the 20th finding 0 left) and keeps the connection;
// time-out 0 waits on (the peer answers once the client has counted 30 ticks).
TEST(WinSocket, SilentPeerTimesOutAfterFourTicksPerTimeoutUnitAndNeverWithZero) {
    for (const int timeout : {5, 0}) {
        FakeClock clock;
        LoopbackPeer peer([](int fd) {
            ReceiveLine(fd);
            SendAllBytes(fd, "late\r\n");
            ReceiveUntilClosed(fd);
        });
        TWinSocket socket(timeout, 1024);
        socket.SocketConnect("127.0.0.1", peer.Port());
        std::vector<int> ticksLeft;
        socket.OnWait = [&](TWinSocket& s, int, int left) {
            ticksLeft.push_back(left);
            FakeClock::now += 500;
            if (timeout == 0 && ticksLeft.size() == 30) send(s.Handle, "go\n", 3, MSG_NOSIGNAL);
        };
        std::string line;
        const std::string error = RaisedBy([&] { socket.ReadLine(line); });
        if (timeout == 0) {
            EXPECT_EQ(line, "late");
            continue;
        }
        EXPECT_EQ(error, Code(kTransient + 10060) + "SocketWait: " + SocketErrorText(10060));
        std::vector<int> expected;
        for (int left = 20; left >= 0; --left) expected.push_back(left);
        EXPECT_EQ(ticksLeft, expected);
        EXPECT_EQ(socket.State(), SocketState::Connected);
    }
}

// Lines, a last line without an end and raw reads all come from one buffer; each received byte
// is reported once, however it was taken.
TEST(WinSocket, PeerClosingWithUnreadDataStillDeliversIt) {
    LoopbackPeer peer = Sender("hello\r\n\0x\r\r0123456789world"s, /*closeAfterSending=*/true);
    TWinSocket socket(5, 1024);
    int received = 0;
    socket.OnData = [&](TWinSocket&, int direction, int count, const char*) {
        if (direction == kDirectionIn) received += count;
    };
    socket.SocketConnect("127.0.0.1", peer.Port());
    peer.Join();
    std::string taken, line;
    const auto readLine = [&] {
        const int n = socket.ReadLine(line);
        taken += std::to_string(n) + "[" + line + "]";
    };
    const auto read = [&](int length, int flags) {
        char buffer[16];
        const int n = socket.ReadBuffer(buffer, length, flags);
        taken += std::to_string(n) + std::string(buffer, std::max(n, 0));
    };
    for (int n = 0; n < 3; ++n) readLine();
    read(2, MSG_PEEK);
    read(10, 0);
    readLine();  // ended without a line end
    read(16, 0);
    EXPECT_EQ(taken, "7[hello]3[ x]1[]2011001234567890[world]0");
    EXPECT_EQ(socket.State(), SocketState::Idle);
    EXPECT_EQ(received, 26);
}

// A line read whole, then the next read fails and closes the socket: a peer that resets the
// connection (the reply and the reset usually reach a waiting socket together), or a line over
// the bound.
TEST(WinSocket, ALineThenAFailureThatCloses) {
    const std::string longest(TWinSocket::kMaxLineLength, 'x');
    const struct {
        const char* name;
        std::function<void(int)> peer;
        std::string line;
        std::string raised;
    } cases[] = {
        {"reset",
         [](int fd) {
             ReceiveLine(fd);
             SendAllBytes(fd, "05 reply\r\n");
             const linger abort{1, 0};  // close with a reset, as some proxies do after a refusal
             setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
         },
         "05 reply", Code(kTransient + 10054)},
        {"line too long",
         [&](int fd) {
             SendAllBytes(fd, longest + "\r\n" + longest + "y");
             ReceiveUntilClosed(fd);
         },
         longest, Code(kLineTooLong | kRefused) + "ReadLine:"},
    };
    for (const auto& c : cases) {
        LoopbackPeer peer(c.peer);
        TWinSocket socket(5, 1024);
        socket.SocketConnect("127.0.0.1", peer.Port());
        socket.WriteLine("request");
        std::string line;  // read at once
        EXPECT_EQ(RaisedBy([&] { socket.ReadLine(line); }), "no error") << c.name;
        EXPECT_EQ(line, c.line) << c.name;
        EXPECT_THAT(RaisedBy([&] { socket.ReadLine(line); }), StartsWith(c.raised)) << c.name;
        EXPECT_EQ(socket.State(), SocketState::Idle) << c.name;
    }
}

TEST(WinSocket, WritesCutLinesAndSendStreamsInBlocksOfTheBufferSize) {
    std::string pattern;
    for (int i = 0; i < 5000; ++i) pattern += static_cast<char>('a' + i % 26);
    for (const size_t count : {0, 3000}) {
        std::string received;
        LoopbackPeer peer([&](int fd) { received = ReceiveUntilClosed(fd); });
        TMemoryStream stream;
        stream.WriteBuffer(pattern.data(), static_cast<int64_t>(pattern.size()));
        stream.SetPosition(0);
        std::vector<int> blocks;
        const size_t length = count == 0 ? 5000 : count;
        {
            TWinSocket socket(5, 1024);
            socket.OnData = [&](TWinSocket&, int direction, int n, const char*) {
                if (direction == kDirectionOut) blocks.push_back(n);
            };
            socket.SocketConnect("127.0.0.1", peer.Port());
            EXPECT_EQ(socket.WriteLine("GROUP a\r\nQUIT\r\n"), 9);  // only the first line
            EXPECT_EQ(socket.WriteLine("LIST"), 6);
            EXPECT_EQ(socket.SendStream(stream, static_cast<int64_t>(count)),
                      static_cast<int64_t>(length));
        }
        peer.Join();
        EXPECT_EQ(received, "GROUP a\r\nLIST\r\n" + pattern.substr(0, length));
        ASSERT_EQ(blocks.size(), 2 + (length + 1023) / 1024);
        EXPECT_EQ(blocks[2], 1024);
    }
}

TEST(WinSocket, AcceptsOnlyAfterListening) {
    TWinSocket socket(5, 1024);
    EXPECT_THAT(RaisedBy([&] { socket.SocketAccept(); }),
                StartsWith(Code(0x10000001) + "SocketAccept:"));
    socket.SocketListen("", 0);
    ASSERT_EQ(socket.State(), SocketState::Listening);
    std::thread client([port = platform::AddressPort(socket.Address)] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            SendAllBytes(fd, "hello\r\n");
            ReceiveUntilClosed(fd);
        }
        close(fd);
    });
    socket.SocketAccept();
    EXPECT_EQ(socket.State(), SocketState::Accepted);
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "hello");
    socket.SocketClose();
    client.join();
}

}  // namespace
}  // namespace kestrova

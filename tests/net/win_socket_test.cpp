#include "net/win_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "loopback_peer.h"
#include "net/socket_error_text.h"
#include "socket_test_support.h"

namespace kestrova {
namespace {

using namespace std::string_literals;
using testing::ClosedPort;
using testing::FakeClock;
using testing::LoopbackPeer;
using testing::ReceiveLine;
using testing::ReceiveUntilClosed;
using testing::SendAllBytes;

constexpr uint32_t kResolvedEvent = 4;

// Sends bytes, then closes once the client has closed.
LoopbackPeer Sender(std::string bytes, bool closeAfterSending = false) {
    return LoopbackPeer([bytes = std::move(bytes), closeAfterSending](int fd) {
        SendAllBytes(fd, bytes);
        if (!closeAfterSending) ReceiveUntilClosed(fd);
    });
}

TEST(WinSocket, ConnectsByDottedAddressAndByName) {
    for (const char* host : {"127.0.0.1", "localhost"}) {
        LoopbackPeer peer = Sender("200 ready\r\n");
        TWinSocket socket(5, 1024);
        int lookupWaits = 0;
        socket.OnWait = [&](TWinSocket&, int event, int) {
            lookupWaits += event == kResolvedEvent;
        };
        std::string changes;
        socket.OnState = [&](TWinSocket&, SocketState from, SocketState to) {
            changes += std::string(SocketStateName(from)) + ">" + SocketStateName(to) + " ";
        };
        socket.SocketConnect(host, peer.Port());
        EXPECT_EQ(socket.State(), SocketState::Connected) << host;
        std::string line;
        socket.ReadLine(line);
        EXPECT_EQ(line, "200 ready") << host;
        EXPECT_EQ(lookupWaits, std::string(host) == "localhost" ? 1 : 0) << host;
        socket.SocketClose();
        socket.SocketClose();  // no change, nothing reported
        EXPECT_EQ(changes, "idle>created created>connected connected>idle ") << host;
    }
}

// A failed lookup or connect raises, or goes to OnError when it is set, and leaves the socket
// closed.
TEST(WinSocket, FailedConnectsRaiseOrGoToOnErrorAndLeaveTheSocketClosed) {
    struct Case {
        const char* host;
        uint16_t port;
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {"no-such-host.onion", 119, kRefused + 11001, "Host not found"},
        {"127.0.0.1", ClosedPort(), kTransient + 10061, "Connection refused"},
    };
    for (const Case& c : cases) {
        for (const bool handled : {false, true}) {
            SCOPED_TRACE(std::string(c.host) + (handled ? " to OnError" : " raised"));
            TWinSocket socket(5, 1024);
            std::vector<std::string> reported;
            if (handled) {
                socket.OnError = [&](TWinSocket&, uint32_t code, const std::string& proc,
                                     const std::string& text) {
                    reported.push_back(std::to_string(code) + " " + proc + ": " + text);
                };
            }
            try {
                socket.SocketConnect(c.host, c.port);
            } catch (const ESocketError& e) {
                reported.push_back(std::to_string(e.Code) + " " + e.ProcName + ": " + e.Message);
                EXPECT_FALSE(handled);
            }
            EXPECT_EQ(reported,
                      std::vector<std::string>{std::to_string(c.code) + " SocketWait: " + c.text});
            EXPECT_EQ(socket.State(), SocketState::Idle);
            EXPECT_EQ(socket.Handle, -1);
        }
    }
}

platform::SocketAddress Loopback(uint16_t port) {
    platform::SocketAddress address{};
    platform::ParseAddressLiteral("127.0.0.1", port, address);
    return address;
}

TEST(WinSocket, TriesEveryAddressInTurnAndReportsOnlyTheLastFailure) {
    LoopbackPeer peer = Sender("200 ready\r\n");
    TWinSocket socket(5, 1024);
    std::vector<uint32_t> codes;
    socket.OnError = [&](TWinSocket&, uint32_t code, const std::string&, const std::string&) {
        codes.push_back(code);
    };
    socket.Addresses = {Loopback(ClosedPort()), Loopback(peer.Port())};
    socket.SocketConnect("", 0);
    ASSERT_EQ(socket.State(), SocketState::Connected);
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "200 ready");
    EXPECT_TRUE(codes.empty());

    socket.SocketClose();
    socket.Addresses = {Loopback(ClosedPort()), Loopback(ClosedPort())};
    socket.SocketConnect("", 0);
    EXPECT_EQ(codes, std::vector<uint32_t>{kTransient + 10061});
    EXPECT_EQ(socket.State(), SocketState::Idle);
}

TEST(WinSocket, SilentPeerTimesOutAfterFourTicksPerTimeoutUnit) {
    FakeClock clock;
    LoopbackPeer peer([](int fd) { ReceiveUntilClosed(fd); });
    TWinSocket socket(5, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    std::vector<int> ticksLeft;
    socket.OnWait = [&](TWinSocket&, int, int left) {
        ticksLeft.push_back(left);
        FakeClock::Advance(500);  // the next tick is due at once
    };
    char buffer[16];
    try {
        socket.ReadBuffer(buffer, sizeof buffer);
        FAIL() << "no time-out";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code, kTransient + 10060);
        EXPECT_EQ(e.Message, "Connection timed out");
        EXPECT_EQ(e.ProcName, "SocketWait");
    }
    // One call at the start of the wait and one per tick, the 20th tick finding 0 left.
    ASSERT_EQ(ticksLeft.size(), 21u);
    for (size_t i = 0; i < ticksLeft.size(); ++i) EXPECT_EQ(ticksLeft[i], 20 - static_cast<int>(i));
    EXPECT_EQ(socket.State(), SocketState::Connected);  // a time-out does not close
}

TEST(WinSocket, NoTimeoutWhenTimeoutIsZero) {
    FakeClock clock;
    LoopbackPeer peer([](int fd) {
        ReceiveLine(fd);  // the client's signal that 30 ticks have passed
        SendAllBytes(fd, "late\r\n");
        ReceiveUntilClosed(fd);
    });
    TWinSocket socket(0, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    int calls = 0;
    socket.OnWait = [&](TWinSocket& s, int, int) {
        FakeClock::Advance(500);
        if (++calls == 30) {
            const char go[] = "go\n";
            send(s.Handle, go, 3, MSG_NOSIGNAL);
        }
    };
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "late");
    EXPECT_GE(calls, 30);
}

TEST(WinSocket, PeerClosingWithUnreadDataStillDeliversIt) {
    LoopbackPeer peer = Sender("hello\r\nworld", /*closeAfterSending=*/true);
    TWinSocket socket(5, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    peer.Join();
    std::string line;
    EXPECT_EQ(socket.ReadLine(line), 7);
    EXPECT_EQ(line, "hello");
    EXPECT_EQ(socket.ReadLine(line), 0);  // the connection ended before a line end
    EXPECT_EQ(line, "world");
    char buffer[16];
    EXPECT_EQ(socket.ReadBuffer(buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.State(), SocketState::Idle);
}

TEST(WinSocket, DataBeforeAResetIsDeliveredBeforeTheError) {
    LoopbackPeer peer([](int fd) {
        ReceiveLine(fd);
        SendAllBytes(fd, "05 reply\r\n");
        const linger abort{1, 0};  // close with a reset, as some proxies do after a refusal
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    });
    TWinSocket socket(5, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    socket.WriteLine("request");
    std::string line;  // read at once: the reply and the reset usually reach a waiting socket
    socket.ReadLine(line);
    EXPECT_EQ(line, "05 reply");
    try {
        socket.ReadLine(line);
        FAIL() << "no error";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code, kTransient + 10054);
        EXPECT_EQ(e.Message, "Connection reset by peer");
    }
    EXPECT_EQ(socket.State(), SocketState::Idle);
}

TEST(WinSocket, ReadBufferPeeksOrReturnsBufferedDataThenZeroAfterPeerClosed) {
    LoopbackPeer peer = Sender("0123456789", /*closeAfterSending=*/true);
    TWinSocket socket(5, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    peer.Join();
    char buffer[64];
    ASSERT_EQ(socket.ReadBuffer(buffer, 2, MSG_PEEK), 2);
    EXPECT_EQ(std::string(buffer, 2), "01");
    int total = 0;
    for (int n; (n = socket.ReadBuffer(buffer + total, 4)) > 0;) total += n;
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(total)), "0123456789");
    EXPECT_NO_THROW(EXPECT_EQ(socket.ReadBuffer(buffer, 4), 0));
}

struct ReadLineCase {
    std::string sent;
    std::vector<std::string> lines;
};

TEST(WinSocket, ReadLineRulesOverTheSocket) {
    const ReadLineCase cases[] = {
        {"A\r\nB\n", {"A", "B"}},
        {"A\r\r", {"A", ""}},
        {"A\0B\r\n"s, {"A B"}},
        {"A\n\rB\r\n", {"A", "B"}},
    };
    for (const ReadLineCase& c : cases) {
        LoopbackPeer peer = Sender(c.sent);
        TWinSocket socket(5, 1024);
        int received = 0;
        socket.OnData = [&](TWinSocket&, int direction, int count, const char*) {
            if (direction == kDirectionIn) received += count;
        };
        socket.SocketConnect("127.0.0.1", peer.Port());
        for (const std::string& expected : c.lines) {
            std::string line;
            socket.ReadLine(line);
            EXPECT_EQ(line, expected) << ::testing::PrintToString(c.sent);
        }
        // Each received byte is reported once, however the lines were taken.
        EXPECT_EQ(received, static_cast<int>(c.sent.size()));
    }
}

TEST(WinSocket, LineLongerThanTheBoundFailsAndCloses) {
    const std::string longest(TWinSocket::kMaxLineLength, 'x');
    LoopbackPeer peer = Sender(longest + "\r\n" + longest + "y");
    TWinSocket socket(1, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, longest);
    try {
        socket.ReadLine(line);
        FAIL() << "a line past the bound was read";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code, kLineTooLong | kRefused);
        EXPECT_EQ(e.ProcName, "ReadLine");
    }
    EXPECT_EQ(socket.State(), SocketState::Idle);
}

TEST(WinSocket, WriteLineCutsAfterTheFirstLineEndOrAddsOne) {
    std::string received;
    LoopbackPeer peer([&](int fd) { received = ReceiveUntilClosed(fd); });
    {
        TWinSocket socket(5, 1024);
        socket.SocketConnect("127.0.0.1", peer.Port());
        EXPECT_EQ(socket.WriteLine("GROUP a\r\nQUIT\r\n"), 9);
        EXPECT_EQ(socket.WriteLine("LIST"), 6);
        EXPECT_EQ(socket.WriteLine(""), 2);
    }
    peer.Join();
    EXPECT_EQ(received, "GROUP a\r\nLIST\r\n\r\n");
}

TEST(WinSocket, SendStreamSendsInBlocksOfTheBufferSize) {
    std::string pattern;
    for (int i = 0; i < 5000; ++i) pattern += static_cast<char>('a' + i % 26);
    for (const int64_t count : {int64_t{0}, int64_t{3000}}) {
        std::string received;
        LoopbackPeer peer([&](int fd) { received = ReceiveUntilClosed(fd); });
        TMemoryStream stream;
        stream.WriteBuffer(pattern.data(), static_cast<int64_t>(pattern.size()));
        stream.SetPosition(0);
        std::vector<int> blocks;
        {
            TWinSocket socket(5, 1024);
            socket.OnData = [&](TWinSocket&, int direction, int n, const char*) {
                if (direction == kDirectionOut) blocks.push_back(n);
            };
            socket.SocketConnect("127.0.0.1", peer.Port());
            EXPECT_EQ(socket.SendStream(stream, count), count == 0 ? 5000 : count);
        }
        peer.Join();
        EXPECT_EQ(received, pattern.substr(0, count == 0 ? 5000 : static_cast<size_t>(count)));
        EXPECT_EQ(blocks.front(), 1024);
    }
}

TEST(WinSocket, AcceptsOnlyAfterListening) {
    TWinSocket socket(5, 1024);
    try {
        socket.SocketAccept();
        FAIL() << "accepted without listening";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code, 0x10000001u);
        EXPECT_EQ(e.Message, "Socket not in listen mode");
    }
    socket.SocketListen("", 0);
    ASSERT_EQ(socket.State(), SocketState::Listening);
    const uint16_t port = platform::AddressPort(socket.Address);
    ASSERT_NE(port, 0);
    std::thread client([port] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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

TEST(WinSocket, ConsoleInputWakesTheWaitWithoutATick) {
    FakeClock clock;  // frozen: no tick comes during this test
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_NONBLOCK), 0);
    platform::SetConsoleInputSource(pipeFds[0], [&] {
        char c;
        while (read(pipeFds[0], &c, 1) == 1) {
            platform::InputEvent key;
            key.VirtualKeyCode = static_cast<uint16_t>(c);
            platform::PushInput(key);
        }
    });
    // If the wait does not wake, the peer's late line ends it and the test fails.
    LoopbackPeer peer([](int fd) {
        ReceiveUntilClosed(fd);
        SendAllBytes(fd, "late\r\n");
    });
    TWinSocket socket(0, 1024);
    socket.SocketConnect("127.0.0.1", peer.Port());
    socket.OnWait = [](TWinSocket&, int, int) { testing::AbortOnEsc(); };
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(write(pipeFds[1], "\x1b", 1), 1);
    });
    std::string line;
    EXPECT_THROW(socket.ReadLine(line), EUserAbort);
    user.join();
    platform::SetConsoleInputSource(-1, nullptr);
    close(pipeFds[0]);
    close(pipeFds[1]);
}

struct ErrorClassCase {
    uint32_t code;
    uint32_t raised;
    const char* text;
    bool closes;
};

TEST(WinSocket, SocketErrorClassesTextsAndClosing) {
    const ErrorClassCase cases[] = {
        {10054, kTransient + 10054, "Connection reset by peer", true},
        {11002, kTransient + 11002, "Non authoritative - host not found", true},
        {10060, kTransient + 10060, "Connection timed out", false},
        {11004, kTransient + 11004, "Valid name, no data record of requested type", false},
        {10013, kRefused + 10013, "Permission denied", false},
        {11001, kRefused + 11001, "Host not found", false},
        {4711, kRefused + 4711, "Not a Winsock error", false},
    };
    for (const ErrorClassCase& c : cases) {
        TWinSocket socket(5, 1024);
        socket.SocketListen("", 0);
        try {
            socket.SocketError(c.code, "ReadBuffer");
            FAIL() << c.code;
        } catch (const ESocketError& e) {
            EXPECT_EQ(e.Code, c.raised);
            EXPECT_EQ(e.Message, c.text);
            EXPECT_EQ(e.ProcName, "ReadBuffer");
        }
        EXPECT_EQ(socket.LastError, c.code);
        EXPECT_EQ(socket.State(), c.closes ? SocketState::Idle : SocketState::Listening) << c.code;
    }
}

TEST(WinSocket, WindowIsUseCounted) {
    TWinSocket socket(5, 1024);
    socket.AcquireWindow();
    socket.AcquireWindow();
    socket.ReleaseWindow();
    EXPECT_NE(socket.Window, nullptr);
    socket.ReleaseWindow();
    EXPECT_EQ(socket.Window, nullptr);
    socket.ReleaseWindow();  // one release too many does no harm
    EXPECT_EQ(socket.WindowRefs, 0);
}

}  // namespace
}  // namespace kestrova

#include "net/proxy_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "loopback_peer.h"

namespace kestrova {
namespace {

using namespace std::string_literals;
using namespace testing;  // the loopback peer's helpers

// A scripted proxy: sends its canned replies at once, ends its side and records in received
// everything the client sends (complete once the client has closed and the proxy is joined).
LoopbackPeer ScriptedProxy(std::string replies, std::string& received) {
    return LoopbackPeer([replies = std::move(replies), &received](int fd) {
        SendAllBytes(fd, replies);
        shutdown(fd, SHUT_WR);
        received = ReceiveUntilClosed(fd);
    });
}

std::unique_ptr<TProxySocket> MakeSocket(const LoopbackPeer& proxy, int version,
                                         std::string user = "", std::string password = "") {
    TUrlComponents url;
    url.HostName = "127.0.0.1";
    url.Port = proxy.Port();
    url.UserName = std::move(user);
    url.Password = std::move(password);
    auto socket = std::make_unique<TProxySocket>(5, url, 1024);
    socket->Version = version;
    return socket;
}

std::string EndpointText(const platform::SocketAddress& address) {
    return platform::AddressText(address) + ":" + std::to_string(platform::AddressPort(address));
}

// A connect, or a listen at the proxy and an accept through it.
TEST(ProxySocket, ConnectAndBindExchangesAreByteExact) {
    const std::string toNewshost = "\x05\x02\x00\x02\x05\x01\x00\x03\x08newshost\x00\x77"s;
    const struct {
        const char* name;
        int version;
        std::string user;
        std::string host;
        std::string replies;       // what the proxy answers, then the server's first line
        std::string sent;          // every byte the client must send
        std::string boundAddress;  // Address after the connect, or the listen and the accept
    } cases[] = {
        {"socks4 with user", 4, "user", "10.0.0.1", "\x00\x5A\x00\x77\x0A\x00\x00\x01"s,
         "\x04\x01\x00\x77\x0A\x00\x00\x01user\x00"s, "10.0.0.1:119"},
        {"socks5 no login", 5, "", "newshost", "\x05\x00\x05\x00\x00\x01\x7F\x00\x00\x01\x04\x38"s,
         toNewshost, "127.0.0.1:1080"},
        {"socks5 name in reply", 5, "", "newshost",
         "\x05\x00\x05\x00\x00\x03\x09proxyhost\x00\x50"s, toNewshost, "0.0.0.0:80"},
        {"socks5 IPv6 in reply", 5, "", "newshost",
         "\x05\x00\x05\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x51"s,
         toNewshost, "::1:81"},
        {"socks5 to an IPv6 address", 5, "", "2001:db8::7",
         "\x05\x00\x05\x00\x00\x01\x7F\x00\x00\x01\x04\x38"s,
         "\x05\x02\x00\x02\x05\x01\x00\x04\x20\x01\x0d\xb8\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x07\x00\x77"s,
         "127.0.0.1:1080"},
        {"socks4 bind", 4, "", "",
         "\x00\x5A\x04\x38\x7F\x00\x00\x01\x00\x5A\x00\x77\x0A\x00\x00\x01"s,
         "\x04\x02\x00\x77\x0A\x00\x00\x01\x00"s, "127.0.0.1:1080 10.0.0.1:119"},
        {"socks5 bind", 5, "", "",
         "\x05\x00\x05\x00\x00\x01\x7F\x00\x00\x01\x04\x38\x05\x00\x00\x01\x0A\x00\x00\x01\x00\x77"s,
         "\x05\x02\x00\x02\x05\x02\x00\x03\x08\x31\x30\x2E\x30\x2E\x30\x2E\x31\x00\x77"s,
         "127.0.0.1:1080 10.0.0.1:119"},
    };
    for (const auto& c : cases) {
        std::string received;
        LoopbackPeer proxy = ScriptedProxy(c.replies + "200 news ready\r\n", received);
        auto socket = MakeSocket(proxy, c.version, c.user);
        std::string bound;
        if (c.host.empty()) {
            socket->SocketListen("10.0.0.1", 119);
            bound = EndpointText(socket->Address) + " ";
            socket->SocketAccept();
        } else {
            socket->SocketConnect(c.host, 119);
        }
        EXPECT_EQ(socket->State(), SocketState::Connected) << c.name;
        EXPECT_EQ(bound + EndpointText(socket->Address), c.boundAddress) << c.name;
        // The reply is consumed exactly: the server's first line comes through whole.
        std::string line;
        socket->ReadLine(line);
        EXPECT_EQ(line, "200 news ready") << c.name;
        socket.reset();
        proxy.Join();
        EXPECT_EQ(received, c.sent) << c.name;
    }
}

TEST(ProxySocket, FailuresRaiseWithTheirCodeTextAndStepAndCloseTheSocket) {
    const std::string longName(256, 'u');
    const struct {
        const char* name;
        int version;
        std::string user;
        std::string replies;
        uint32_t code;
        const char* text;
        const char* procName;
    } cases[] = {
        {"socks4 reply cut short", 4, "", "\x00\x5A\x00"s, 0x40000100,
         "Connection lost to SOCKS server", "Socks4Request"},
        {"socks5 unassigned reply", 5, "", "\x05\x00\x05\x0A\x00\x01"s, 0x4000030A,
         "Unassigned SOCKS server error", "Socks5Request"},
        {"socks5 method not offered", 5, "", "\x05\x80"s, 0x10000880,
         "SOCKS proxy chose an authentication method that was not offered", "Socks5Request"},
        {"socks5 login reply of another version", 5, "user", "\x05\x02\x05\x00"s, 0x10000200,
         "SOCKS proxy not supported", "Socks5Login"},
        {"socks5 no acceptable method", 5, "", "\x05\xFF"s, 0x10000400,
         "SOCKS proxy accepts none of the offered authentication methods", "Socks5Request"},
        {"socks5 user name too long", 5, longName, "\x05\x02"s, 0x10000500,
         "SOCKS user name or password longer than 255 characters", "Socks5Login"},
        {"socks5 unknown address type", 5, "", "\x05\x00\x05\x00\x00\x07"s, 0x10000200,
         "SOCKS proxy not supported", "Socks5Request"},
        {"socks5 proxy hangs up in the bound address", 5, "", "\x05\x00\x05\x00\x00\x01\x7F\x00"s,
         0x40000100, "Connection lost to SOCKS server", "Socks5Request"},
    };
    for (const auto& c : cases) {
        std::string received;
        LoopbackPeer proxy = ScriptedProxy(c.replies, received);
        auto socket = MakeSocket(proxy, c.version, c.user, "pass");
        // SOCKS failures raise even when socket errors go to OnError.
        socket->OnError = [](TWinSocket&, uint32_t, const std::string&, const std::string&) {};
        try {
            socket->SocketConnect("10.0.0.1", 119);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ESocketError& e) {
            EXPECT_EQ(e.Code, c.code) << c.name;
            EXPECT_EQ(e.Message, c.text) << c.name;
            EXPECT_EQ(e.ProcName, c.procName) << c.name;
        }
        EXPECT_EQ(socket->State(), SocketState::Idle) << c.name;
    }
}

TEST(ProxySocket, TooLongLoginIsNotSent) {
    std::string received;
    LoopbackPeer proxy = ScriptedProxy("\x05\x02"s, received);
    auto socket = MakeSocket(proxy, 5, "user", std::string(300, 'p'));
    EXPECT_THROW(socket->SocketConnect("newshost", 119), ESocketError);
    socket.reset();
    proxy.Join();
    EXPECT_EQ(received, "\x05\x02\x00\x02"s);
}

TEST(ProxySocket, ProxyPortZeroMeansTheStandardPort) {
    TUrlComponents url;
    url.HostName = "proxy";
    EXPECT_EQ(TProxySocket(5, url, 1024).Proxy.Port, 1080);
}

}  // namespace
}  // namespace kestrova

// The SOCKS client against real proxies on loopback (started by tools/peers/dante.sh and
// tools/peers/microsocks.sh), each carrying a line exchange with a server of this test.
#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"
#include "conformance/peer_availability.h"
#include "net/loopback_peer.h"
#include "net/proxy_socket.h"

namespace kestrova {
namespace {

using testing::LoopbackPeer;
using testing::ReceiveLine;
using testing::SendAllBytes;

struct Proxy {
    const char* name;
    const char* portVariable;
    uint16_t defaultPort;
    const char* startScript;
    bool login;
};
const Proxy kDante{"Dante", "DANTE_PORT", 1080, "tools/peers/dante.sh", false};
const Proxy kDanteLogin{"DanteLogin", "DANTE_AUTH_PORT", 1081, "tools/peers/dante.sh", true};
const Proxy kMicrosocks{"Microsocks", "MICROSOCKS_PORT", 1082, "tools/peers/microsocks.sh", false};
const Proxy kMicrosocksLogin{"MicrosocksLogin", "MICROSOCKS_AUTH_PORT", 1083,
                             "tools/peers/microsocks.sh", true};

// A socket through proxy with the SOCKS version; the proxy's test user and password when it
// asks for a login. Skips the test when the proxy is not listening.
#define PROXY_SOCKET(socket, proxy, version, password)                                         \
    const uint16_t proxyPort = testing::PeerPort((proxy).portVariable, (proxy).defaultPort);   \
    SKIP_UNLESS_LISTENING(proxyPort, (proxy).name, (proxy).startScript, (proxy).portVariable); \
    TUrlComponents url;                                                                        \
    url.HostName = "127.0.0.1";                                                                \
    url.Port = proxyPort;                                                                      \
    if ((proxy).login) {                                                                       \
        url.UserName = testing::PeerEnv("SOCKS_USER", "proxyuser");                            \
        url.Password = password;                                                               \
    }                                                                                          \
    TProxySocket socket(5, url, 1024);                                                         \
    socket.Version = version;

struct ExchangeCase {
    const Proxy* proxy;
    int version;
    const char* target;
};

class SocksExchange : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(SocksExchange, CarriesALineExchangeToTheServer) {
    const ExchangeCase& c = GetParam();
    PROXY_SOCKET(socket, *c.proxy, c.version, testing::PeerEnv("SOCKS_PASS", "proxypass"));
    // Greets, answers every line with "100 " and the line, ends on QUIT.
    LoopbackPeer server([](int fd) {
        SendAllBytes(fd, "200 conformance server ready\r\n");
        for (std::string line; !(line = ReceiveLine(fd)).empty();) {
            if (line == "QUIT\r\n") return SendAllBytes(fd, "205 closing\r\n");
            SendAllBytes(fd, "100 " + line);
        }
    });
    socket.SocketConnect(c.target, server.Port());
    ASSERT_EQ(socket.State(), SocketState::Connected);
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "200 conformance server ready");
    for (const char* text : {"GROUP kestrova.test", "QUIT"}) socket.WriteLine(text);
    socket.ReadLine(line);
    EXPECT_EQ(line, "100 GROUP kestrova.test");
    socket.ReadLine(line);
    EXPECT_EQ(line, "205 closing");
}

INSTANTIATE_TEST_SUITE_P(RealProxies, SocksExchange,
                         ::testing::Values(ExchangeCase{&kDante, 4, "127.0.0.1"},
                                           ExchangeCase{&kDante, 5, "127.0.0.1"},
                                           ExchangeCase{&kDante, 5, "localhost"},
                                           ExchangeCase{&kDanteLogin, 5, "127.0.0.1"},
                                           ExchangeCase{&kMicrosocks, 5, "127.0.0.1"},
                                           ExchangeCase{&kMicrosocks, 5, "localhost"},
                                           ExchangeCase{&kMicrosocksLogin, 5, "127.0.0.1"}),
                         [](const ::testing::TestParamInfo<ExchangeCase>& info) {
                             return std::string(info.param.proxy->name) + "Socks" +
                                    std::to_string(info.param.version) +
                                    (std::string(info.param.target) == "localhost" ? "ByName" : "");
                         });

struct RefusalCase {
    const char* name;
    const Proxy* proxy;
    int version;
    uint16_t targetPort;  // 0: a closed port
    uint32_t code;
    const char* text;
    const char* procName;
};

class SocksRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SocksRefusal, RaisesTheProxysAnswer) {
    const RefusalCase& c = GetParam();
    PROXY_SOCKET(socket, *c.proxy, c.version, "wrong");
    try {
        socket.SocketConnect("127.0.0.1", c.targetPort != 0 ? c.targetPort : testing::ClosedPort());
        FAIL() << "connected";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code, c.code);
        EXPECT_EQ(e.Message, c.text);
        EXPECT_EQ(e.ProcName, c.procName);
    }
    EXPECT_EQ(socket.State(), SocketState::Idle);
}

const char* const kLoginRefused = "SOCKS proxy refused the user name or password";

INSTANTIATE_TEST_SUITE_P(
    RealProxies, SocksRefusal,
    ::testing::Values(RefusalCase{"DanteSocks4BlockedPort", &kDante, 4, 9, 0x4000035B,
                                  "Request rejected or failed", "Socks4Request"},
                      RefusalCase{"DanteSocks5BlockedPort", &kDante, 5, 9, 0x40000302,
                                  "Connection not allowed by ruleset", "Socks5Request"},
                      RefusalCase{"DanteSocks5ClosedPort", &kDante, 5, 0, 0x40000305,
                                  "Connection refused", "Socks5Request"},
                      RefusalCase{"DanteWrongPassword", &kDanteLogin, 5, 0, 0x10000701,
                                  kLoginRefused, "Socks5Login"},
                      RefusalCase{"MicrosocksClosedPort", &kMicrosocks, 5, 0, 0x40000305,
                                  "Connection refused", "Socks5Request"},
                      RefusalCase{"MicrosocksWrongPassword", &kMicrosocksLogin, 5, 0, 0x10000702,
                                  kLoginRefused, "Socks5Login"},
                      RefusalCase{"MicrosocksSocks4", &kMicrosocks, 4, 0, 0x10000200,
                                  "SOCKS proxy not supported", "Socks4Request"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrova

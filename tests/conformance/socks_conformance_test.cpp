// The SOCKS client against real proxies on loopback (started by tools/peers/dante.sh and
// tools/peers/microsocks.sh): a line exchange with a server of this test carried through, or the
// proxy's refusal raised with its own reason.
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

struct SocksCase {
    const char* name;
    const Proxy* proxy;
    int version;
    const char* target;    // a name or address of the test's server
    uint16_t targetPort;   // 0: the test's server; 1: a closed port
    const char* password;  // of the proxy's test user when it asks for a login
    uint32_t code;         // 0: connected; else the refusal, with its text and procedure
    const char* refusal;
};

class Socks : public ::testing::TestWithParam<SocksCase> {};

TEST_P(Socks, CarriesALineExchangeOrRaisesTheProxysRefusal) {
    const SocksCase& c = GetParam();
    const uint16_t proxyPort = testing::PeerPort(c.proxy->portVariable, c.proxy->defaultPort);
    SKIP_UNLESS_LISTENING(proxyPort, c.proxy->name, c.proxy->startScript, c.proxy->portVariable);
    TUrlComponents url;
    url.HostName = "127.0.0.1";
    url.Port = proxyPort;
    if (c.proxy->login) {
        url.UserName = testing::PeerEnv("SOCKS_USER", "proxyuser");
        url.Password = *c.password ? c.password : testing::PeerEnv("SOCKS_PASS", "proxypass");
    }
    TProxySocket socket(5, url, 1024);
    socket.Version = c.version;
    // Greets, answers every line with "100 " and the line, ends on QUIT.
    LoopbackPeer server([](int fd) {
        SendAllBytes(fd, "200 conformance server ready\r\n");
        for (std::string line; !(line = ReceiveLine(fd)).empty();) {
            if (line == "QUIT\r\n") return SendAllBytes(fd, "205 closing\r\n");
            SendAllBytes(fd, "100 " + line);
        }
    });
    const uint16_t port = c.targetPort == 0   ? server.Port()
                          : c.targetPort == 1 ? testing::ClosedPort()
                                              : c.targetPort;
    std::string got;
    try {
        socket.SocketConnect(c.target, port);
        std::string line;
        socket.ReadLine(got);
        for (const char* text : {"GROUP kestrova.test", "QUIT"}) socket.WriteLine(text);
        for (int i = 0; i < 2; ++i) {
            socket.ReadLine(line);
            got += "|" + line;
        }
    } catch (const ESocketError& e) {
        got = std::to_string(e.Code) + " " + e.Message + " in " + e.ProcName;
        EXPECT_EQ(socket.State(), SocketState::Idle);
    }
    EXPECT_EQ(got, c.code == 0 ? "200 conformance server ready|100 GROUP kestrova.test|205 closing"
                               : std::to_string(c.code) + " " + c.refusal);
}

const char* const kLoginRefused = "SOCKS proxy refused the user name or password in Socks5Login";

INSTANTIATE_TEST_SUITE_P(
    RealProxies, Socks,
    ::testing::Values(
        SocksCase{"DanteSocks4", &kDante, 4, "127.0.0.1", 0, "", 0, ""},
        SocksCase{"DanteSocks5", &kDante, 5, "127.0.0.1", 0, "", 0, ""},
        SocksCase{"DanteSocks5ByName", &kDante, 5, "localhost", 0, "", 0, ""},
        SocksCase{"DanteLoginSocks5", &kDanteLogin, 5, "127.0.0.1", 0, "", 0, ""},
        SocksCase{"MicrosocksSocks5", &kMicrosocks, 5, "127.0.0.1", 0, "", 0, ""},
        SocksCase{"MicrosocksSocks5ByName", &kMicrosocks, 5, "localhost", 0, "", 0, ""},
        SocksCase{"MicrosocksLoginSocks5", &kMicrosocksLogin, 5, "127.0.0.1", 0, "", 0, ""},
        SocksCase{"DanteSocks4BlockedPort", &kDante, 4, "127.0.0.1", 9, "", 0x4000035B,
                  "Request rejected or failed in Socks4Request"},
        SocksCase{"DanteSocks5BlockedPort", &kDante, 5, "127.0.0.1", 9, "", 0x40000302,
                  "Connection not allowed by ruleset in Socks5Request"},
        SocksCase{"DanteSocks5ClosedPort", &kDante, 5, "127.0.0.1", 1, "", 0x40000305,
                  "Connection refused in Socks5Request"},
        SocksCase{"DanteWrongPassword", &kDanteLogin, 5, "127.0.0.1", 1, "wrong", 0x10000701,
                  kLoginRefused},
        SocksCase{"MicrosocksClosedPort", &kMicrosocks, 5, "127.0.0.1", 1, "", 0x40000305,
                  "Connection refused in Socks5Request"},
        SocksCase{"MicrosocksWrongPassword", &kMicrosocksLogin, 5, "127.0.0.1", 1, "wrong",
                  0x10000702, kLoginRefused},
        SocksCase{"MicrosocksSocks4", &kMicrosocks, 4, "127.0.0.1", 1, "", 0x10000200,
                  "SOCKS proxy not supported in Socks4Request"}),
    [](const ::testing::TestParamInfo<SocksCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrova

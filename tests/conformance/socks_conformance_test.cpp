// The SOCKS client against real proxies on loopback (started by tools/peers/dante.sh and
// tools/peers/microsocks.sh), each carrying a line exchange with a server of this test.
#include <gtest/gtest.h>

#include <cstdlib>
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

enum class Proxy { DanteOpen, DanteLogin, MicrosocksOpen, MicrosocksLogin };

struct ProxyInfo {
    const char* name;
    const char* portVariable;
    uint16_t defaultPort;
    const char* startScript;
};

ProxyInfo Info(Proxy proxy) {
    static const ProxyInfo kProxies[] = {
        {"dante", "DANTE_PORT", 1080, "tools/peers/dante.sh"},
        {"dante (login)", "DANTE_AUTH_PORT", 1081, "tools/peers/dante.sh"},
        {"microsocks", "MICROSOCKS_PORT", 1082, "tools/peers/microsocks.sh"},
        {"microsocks (login)", "MICROSOCKS_AUTH_PORT", 1083, "tools/peers/microsocks.sh"},
    };
    return kProxies[static_cast<int>(proxy)];
}

uint16_t PortOf(Proxy proxy) {
    const ProxyInfo info = Info(proxy);
    return testing::PeerPort(info.portVariable, info.defaultPort);
}

// A small line server: greets, answers every line with "100 " and the line, ends on QUIT.
LoopbackPeer LineServer() {
    return LoopbackPeer([](int fd) {
        SendAllBytes(fd, "200 conformance server ready\r\n");
        for (;;) {
            std::string line = ReceiveLine(fd);
            if (line.empty()) return;
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            if (line == "QUIT") {
                SendAllBytes(fd, "205 closing\r\n");
                return;
            }
            SendAllBytes(fd, "100 " + line + "\r\n");
        }
    });
}

std::unique_ptr<TProxySocket> ProxySocketFor(Proxy proxy, int version, bool login,
                                             const std::string& password) {
    TUrlComponents url;
    url.HostName = "127.0.0.1";
    url.Port = PortOf(proxy);
    if (login) {
        url.UserName = testing::PeerEnv("SOCKS_USER", "proxyuser");
        url.Password = password;
    }
    auto socket = std::make_unique<TProxySocket>(5, url, 1024);
    socket->Version = version;
    return socket;
}

#define SKIP_UNLESS_UP(proxy)                                                       \
    SKIP_UNLESS_LISTENING(PortOf(proxy), Info(proxy).name, Info(proxy).startScript, \
                          Info(proxy).portVariable)

struct ExchangeCase {
    Proxy proxy;
    int version;
    bool login;
    const char* target;
};

class SocksExchange : public ::testing::TestWithParam<ExchangeCase> {};

std::string ExchangeName(const ::testing::TestParamInfo<ExchangeCase>& info) {
    static const char* const kNames[] = {"Dante", "DanteLogin", "Microsocks", "MicrosocksLogin"};
    return std::string(kNames[static_cast<int>(info.param.proxy)]) + "Socks" +
           std::to_string(info.param.version) +
           (std::string(info.param.target) == "localhost" ? "ByName" : "");
}

TEST_P(SocksExchange, CarriesALineExchangeToTheServer) {
    const ExchangeCase& c = GetParam();
    SKIP_UNLESS_UP(c.proxy);
    LoopbackPeer server = LineServer();
    auto socket =
        ProxySocketFor(c.proxy, c.version, c.login, testing::PeerEnv("SOCKS_PASS", "proxypass"));
    socket->SocketConnect(c.target, server.Port());
    ASSERT_EQ(socket->State(), SocketState::Connected);
    std::string line;
    socket->ReadLine(line);
    EXPECT_EQ(line, "200 conformance server ready");
    for (const char* text : {"GROUP kestrova.test", "HEAD 1"}) {
        socket->WriteLine(text);
        socket->ReadLine(line);
        EXPECT_EQ(line, std::string("100 ") + text);
    }
    socket->WriteLine("QUIT");
    socket->ReadLine(line);
    EXPECT_EQ(line, "205 closing");
}

INSTANTIATE_TEST_SUITE_P(
    RealProxies, SocksExchange,
    ::testing::Values(ExchangeCase{Proxy::DanteOpen, 4, false, "127.0.0.1"},
                      ExchangeCase{Proxy::DanteOpen, 5, false, "127.0.0.1"},
                      ExchangeCase{Proxy::DanteOpen, 5, false, "localhost"},
                      ExchangeCase{Proxy::DanteLogin, 5, true, "127.0.0.1"},
                      ExchangeCase{Proxy::MicrosocksOpen, 5, false, "127.0.0.1"},
                      ExchangeCase{Proxy::MicrosocksOpen, 5, false, "localhost"},
                      ExchangeCase{Proxy::MicrosocksLogin, 5, true, "127.0.0.1"}),
    ExchangeName);

struct RefusalCase {
    const char* name;
    Proxy proxy;
    int version;
    bool login;
    const char* password;
    int targetPort;  // 0: a closed port
    uint32_t code;
    const char* text;
    const char* procName;
};

class SocksRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SocksRefusal, RaisesTheProxysAnswer) {
    const RefusalCase& c = GetParam();
    SKIP_UNLESS_UP(c.proxy);
    auto socket = ProxySocketFor(c.proxy, c.version, c.login, c.password);
    const uint16_t port =
        c.targetPort != 0 ? static_cast<uint16_t>(c.targetPort) : testing::ClosedPort();
    try {
        socket->SocketConnect("127.0.0.1", port);
        FAIL() << "connected";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code, c.code);
        EXPECT_EQ(e.Message, c.text);
        EXPECT_EQ(e.ProcName, c.procName);
    }
    EXPECT_EQ(socket->State(), SocketState::Idle);
}

INSTANTIATE_TEST_SUITE_P(
    RealProxies, SocksRefusal,
    ::testing::Values(RefusalCase{"DanteSocks4BlockedPort", Proxy::DanteOpen, 4, false, "", 9,
                                  0x4000035B, "Request rejected or failed", "Socks4Request"},
                      RefusalCase{"DanteSocks5BlockedPort", Proxy::DanteOpen, 5, false, "", 9,
                                  0x40000302, "Connection not allowed by ruleset", "Socks5Request"},
                      RefusalCase{"DanteSocks5ClosedPort", Proxy::DanteOpen, 5, false, "", 0,
                                  0x40000305, "Connection refused", "Socks5Request"},
                      RefusalCase{"DanteWrongPassword", Proxy::DanteLogin, 5, true, "wrong", 0,
                                  0x10000701, "SOCKS proxy refused the user name or password",
                                  "Socks5Login"},
                      RefusalCase{"MicrosocksClosedPort", Proxy::MicrosocksOpen, 5, false, "", 0,
                                  0x40000305, "Connection refused", "Socks5Request"},
                      RefusalCase{"MicrosocksWrongPassword", Proxy::MicrosocksLogin, 5, true,
                                  "wrong", 0, 0x10000702,
                                  "SOCKS proxy refused the user name or password", "Socks5Login"},
                      RefusalCase{"MicrosocksSocks4", Proxy::MicrosocksOpen, 4, false, "", 0,
                                  0x10000200, "SOCKS proxy not supported", "Socks4Request"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrova

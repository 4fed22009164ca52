#include "net/proxy_socket.h"

#include <arpa/inet.h>

#include <cstring>

#include "common/errors.h"
#include "net/socks_error_text.h"

namespace kestrova {

namespace {

constexpr uint8_t kCommandConnect = 1;
constexpr uint8_t kCommandBind = 2;
constexpr uint8_t kReplyOnly = 'R';  // read the next reply without sending a request

constexpr uint8_t kSocks4Granted = 90;
constexpr uint8_t kMethodNone = 0;
constexpr uint8_t kMethodLogin = 2;
constexpr uint8_t kMethodNoneAcceptable = 0xFF;
constexpr uint8_t kAddressIPv4 = 1;
constexpr uint8_t kAddressName = 3;
constexpr uint8_t kAddressIPv6 = 4;
constexpr size_t kMaxFieldLength = 255;

const char* const kSocks4 = "Socks4Request";
const char* const kSocks5 = "Socks5Request";
const char* const kLogin = "Socks5Login";

}  // namespace

TProxySocket::TProxySocket(int timeout, const TUrlComponents& proxy, int bufferSize)
    : TWinSocket(timeout, bufferSize), Proxy(proxy) {
    if (Proxy.Port == 0) Proxy.Port = kDefaultProxyPort;
}

void TProxySocket::GetSockAddress(const std::string& host, uint16_t port) {
    TargetHost = host;
    TargetPort = port;
    TargetAddress = {};
    if (Version != 4) return;
    TWinSocket::GetSockAddress(host, port);
    // The request carries only an IPv4 address: the name's first one.
    for (const platform::SocketAddress& address : Addresses) {
        if (address.any.sa_family == AF_INET) {
            TargetAddress = address;
            return;
        }
    }
    // No IPv4 address (a failed look-up leaves none and was reported already).
    if (!Addresses.empty()) SocketError(platform::kHostNoData, "GetSockAddress");
}

void TProxySocket::SocketConnect(const std::string& host, uint16_t port) {
    ProxyConnect(host, port, kCommandConnect);
}

void TProxySocket::SocketListen(const std::string& host, uint16_t port) {
    ProxyConnect(host, port, kCommandBind);
}

void TProxySocket::SocketAccept() {
    if (Version != 4) {
        Socks5Request(kReplyOnly);
    } else {
        Socks4Request(kReplyOnly);
    }
    Address = TargetAddress;
}

void TProxySocket::ProxyConnect(const std::string& host, uint16_t port, uint8_t command) {
    if (!host.empty()) GetSockAddress(host, port);
    TWinSocket::GetSockAddress(Proxy.HostName, Proxy.Port);
    ConnectAddresses();
    if (State() != SocketState::Connected) return;  // reported to OnError
    if (Version != 4) {
        Socks5Request(command);
    } else {
        Socks4Request(command);
    }
    Address = TargetAddress;
    if (command == kCommandConnect && Tls.Enabled) StartTls(TargetHost);
}

void TProxySocket::SocksError(uint32_t code, const char* procName) {
    const std::string text = SocksErrorText(code);
    SocketClose();
    throw ESocketError(code, text, procName);
}

void TProxySocket::SendRequest(const std::string& request) {
    SendAll(request.data(), static_cast<int>(request.size()));
}

void TProxySocket::ReadReplyPart(void* buffer, int length, const char* procName) {
    if (ReadExact(buffer, length) < length) SocksError(kSocksConnectionLost, procName);
}

void TProxySocket::Socks4Request(uint8_t command) {
    if (command != kReplyOnly) {
        std::string request{4, static_cast<char>(command)};
        request.append(reinterpret_cast<const char*>(&TargetAddress.v4.sin_port), 2);
        request.append(reinterpret_cast<const char*>(&TargetAddress.v4.sin_addr), 4);
        request += Proxy.UserName;
        request += '\0';
        SendRequest(request);
    }
    uint8_t reply[8] = {};
    const int got = ReadExact(reply, sizeof reply);
    if (got >= 1 && reply[0] != 0) SocksError(kSocksNotSupported, kSocks4);
    if (got < static_cast<int>(sizeof reply)) SocksError(kSocksConnectionLost, kSocks4);
    if (reply[1] != kSocks4Granted) SocksError(kSocksReplyError + reply[1], kSocks4);
    TargetAddress = {};
    TargetAddress.v4.sin_family = AF_INET;
    std::memcpy(&TargetAddress.v4.sin_port, reply + 2, 2);
    std::memcpy(&TargetAddress.v4.sin_addr, reply + 4, 4);
}

void TProxySocket::Socks5Request(uint8_t command) {
    if (command != kReplyOnly) {
        if (TargetHost.size() > kMaxFieldLength) SocksError(kSocksHostTooLong, kSocks5);
        SendRequest(std::string{5, 2, kMethodNone, kMethodLogin});
        uint8_t method[2] = {};
        const int got = ReadExact(method, sizeof method);
        if (got >= 1 && method[0] != 5) SocksError(kSocksNotSupported, kSocks5);
        if (got < static_cast<int>(sizeof method)) SocksError(kSocksConnectionLost, kSocks5);
        if (method[1] == kMethodNoneAcceptable) SocksError(kSocksNoMethod, kSocks5);
        if (method[1] != kMethodNone && method[1] != kMethodLogin)
            SocksError(kSocksMethodNotOffered + method[1], kSocks5);
        if (method[1] == kMethodLogin) Socks5Login();

        std::string request{5, static_cast<char>(command), 0};
        in6_addr ipv6{};
        if (inet_pton(AF_INET6, TargetHost.c_str(), &ipv6) == 1) {
            // An IPv6 address is sent as one: as a name the proxy could not resolve it.
            request += static_cast<char>(kAddressIPv6);
            request.append(reinterpret_cast<const char*>(&ipv6), sizeof ipv6);
        } else {
            request += static_cast<char>(kAddressName);
            request += static_cast<char>(TargetHost.size());
            request += TargetHost;
        }
        request += static_cast<char>(TargetPort >> 8);
        request += static_cast<char>(TargetPort & 0xFF);
        SendRequest(request);
    }
    uint8_t head[4] = {};
    const int got = ReadExact(head, sizeof head);
    if (got >= 2 && head[1] != 0) SocksError(kSocksReplyError + head[1], kSocks5);
    if (got >= 1 && head[0] != 5) SocksError(kSocksNotSupported, kSocks5);
    if (got < static_cast<int>(sizeof head)) SocksError(kSocksConnectionLost, kSocks5);
    ReadBoundAddress(head[3]);
}

void TProxySocket::ReadBoundAddress(uint8_t addressType) {
    TargetAddress = {};
    TargetAddress.v4.sin_family = AF_INET;
    uint8_t port[2];
    switch (addressType) {
        case kAddressIPv4:
            ReadReplyPart(&TargetAddress.v4.sin_addr, 4, kSocks5);
            break;
        case kAddressName: {
            // The address is a name: it is consumed; only the port can be kept.
            uint8_t length = 0;
            ReadReplyPart(&length, 1, kSocks5);
            char name[kMaxFieldLength];
            if (length > 0) ReadReplyPart(name, length, kSocks5);
            break;
        }
        case kAddressIPv6:
            TargetAddress.v6.sin6_family = AF_INET6;
            ReadReplyPart(&TargetAddress.v6.sin6_addr, 16, kSocks5);
            break;
        default:
            // Without a known layout the reply's end cannot be found.
            SocksError(kSocksNotSupported, kSocks5);
    }
    ReadReplyPart(port, sizeof port, kSocks5);
    platform::SetAddressPort(TargetAddress, static_cast<uint16_t>(port[0] << 8 | port[1]));
}

void TProxySocket::Socks5Login() {
    const std::string& user = Proxy.UserName;
    const std::string& password = Proxy.Password;
    if (user.size() > kMaxFieldLength || password.size() > kMaxFieldLength) {
        SocksError(kSocksLoginTooLong, kLogin);
    }
    std::string request{1, static_cast<char>(user.size())};
    request += user;
    request += static_cast<char>(password.size());
    request += password;
    SendRequest(request);
    uint8_t reply[2] = {};
    const int got = ReadExact(reply, sizeof reply);
    if (got == static_cast<int>(sizeof reply) && reply[1] != 0)
        SocksError(kSocksLoginRefused + reply[1], kLogin);
    if (got >= 1 && reply[0] != 1) SocksError(kSocksNotSupported, kLogin);
    if (got < static_cast<int>(sizeof reply)) SocksError(kSocksConnectionLost, kLogin);
}

}  // namespace kestrova

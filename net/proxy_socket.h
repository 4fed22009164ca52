// A socket that reaches its server through a SOCKS 4 or SOCKS 5 proxy. Callers use it like a
// plain socket: connecting connects to the proxy and has the proxy connect onwards; listening and
// accepting map onto the proxy's BIND command.
#pragma once

#include <cstdint>
#include <string>

#include "common/url.h"
#include "net/win_socket.h"

namespace kestrova {

class TProxySocket : public TWinSocket {
  public:
    static constexpr uint16_t kDefaultProxyPort = 1080;

    // proxy: host, port (0 means 1080), user name and password of the proxy.
    TProxySocket(int timeout, const TUrlComponents& proxy, int bufferSize);

    // Records the target; version 4 resolves it here (that protocol carries only an address),
    // version 5 leaves the name to the proxy.
    void GetSockAddress(const std::string& host, uint16_t port) override;
    // Connects through the proxy, then starts TLS with the target when Tls.Enabled. Besides the
    // socket and TLS failures, raises the SOCKS failures with "Socks4Request", "Socks5Request"
    // or "Socks5Login" (see socks_error_text.h).
    void SocketConnect(const std::string& host, uint16_t port) override;
    // Asks the proxy to listen (BIND) for a connection from host; Address is where it listens.
    void SocketListen(const std::string& host, uint16_t port) override;
    // Reads the proxy's second BIND reply; Address is then the peer that connected.
    void SocketAccept() override;

    TUrlComponents Proxy;
    std::string TargetHost;
    uint16_t TargetPort = 0;
    // The target, then what each proxy reply reports (an IPv6 address for address type 4).
    platform::SocketAddress TargetAddress{};
    int Version = 4;  // 4, or anything else for version 5

  private:
    void ProxyConnect(const std::string& host, uint16_t port, uint8_t command);
    void Socks4Request(uint8_t command);
    void Socks5Request(uint8_t command);
    void Socks5Login();
    void ReadBoundAddress(uint8_t addressType);
    // Reads exactly length bytes of a reply, or fails with "Connection lost to SOCKS server".
    void ReadReplyPart(void* buffer, int length, const char* procName);
    void SendRequest(const std::string& request);
    // Closes the socket and raises, whether or not OnError is set.
    [[noreturn]] void SocksError(uint32_t code, const char* procName);
};

}  // namespace kestrova

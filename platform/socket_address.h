// A socket address of either family (IPv4 or IPv6), as the resolver returns it and connect takes
// it, and the literal address forms a host text may have.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova::platform {

union SocketAddress {
    sockaddr any;
    sockaddr_in v4;
    sockaddr_in6 v6;
};

// The byte count connect and bind take for address (0 for an unset family).
socklen_t AddressLength(const SocketAddress& address);
uint16_t AddressPort(const SocketAddress& address);
void SetAddressPort(SocketAddress& address, uint16_t port);
// "1.2.3.4" or "::1"; empty for an unset family.
std::string AddressText(const SocketAddress& address);

// Reads host as an IPv4 address (the dotted forms inet_aton knows) or an IPv6 address (without
// brackets) with port; false (and address cleared) when host is a name.
bool ParseAddressLiteral(std::string_view host, uint16_t port, SocketAddress& address);
SocketAddress MakeIPv4Address(in_addr ip, uint16_t port);

}  // namespace kestrova::platform

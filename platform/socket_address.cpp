#include "platform/socket_address.h"

#include <arpa/inet.h>

namespace kestrova::platform {

socklen_t AddressLength(const SocketAddress& address) {
    switch (address.any.sa_family) {
        case AF_INET:
            return sizeof address.v4;
        case AF_INET6:
            return sizeof address.v6;
        default:
            return 0;
    }
}

uint16_t AddressPort(const SocketAddress& address) {
    return ntohs(address.any.sa_family == AF_INET6 ? address.v6.sin6_port : address.v4.sin_port);
}

void SetAddressPort(SocketAddress& address, uint16_t port) {
    if (address.any.sa_family == AF_INET6) {
        address.v6.sin6_port = htons(port);
    } else {
        address.v4.sin_port = htons(port);
    }
}

std::string AddressText(const SocketAddress& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.any.sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &address.v6.sin6_addr, text, sizeof text);
    } else if (address.any.sa_family == AF_INET) {
        inet_ntop(AF_INET, &address.v4.sin_addr, text, sizeof text);
    }
    return text;
}

bool ParseAddressLiteral(std::string_view host, uint16_t port, SocketAddress& address) {
    const std::string text(host);
    address = {};
    if (inet_aton(text.c_str(), &address.v4.sin_addr) != 0) {
        address.v4.sin_family = AF_INET;
    } else if (inet_pton(AF_INET6, text.c_str(), &address.v6.sin6_addr) == 1) {
        address.v6.sin6_family = AF_INET6;
    } else {
        address = {};
        return false;
    }
    SetAddressPort(address, port);
    return true;
}

SocketAddress MakeIPv4Address(in_addr ip, uint16_t port) {
    SocketAddress address{};
    address.v4.sin_family = AF_INET;
    address.v4.sin_addr = ip;
    SetAddressPort(address, port);
    return address;
}

}  // namespace kestrova::platform

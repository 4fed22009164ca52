// Where the loopback peers of tools/peers listen and whether they answer. A test whose peer is
// down is skipped, unless the test run started the peers itself (KESTROVA_REQUIRE_PEERS), where a
// missing peer is a failure.
#pragma once

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace kestrova::testing {

// The environment variable name, or fallback when it is unset or empty.
inline std::string PeerEnv(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0 ? value : fallback;
}

inline uint16_t PeerPort(const char* variable, uint16_t fallback) {
    return static_cast<uint16_t>(std::stoi(PeerEnv(variable, std::to_string(fallback).c_str())));
}

// Something accepts connections on 127.0.0.1:port.
inline bool PeerListening(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool up = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return up;
}

}  // namespace kestrova::testing

// Skips (or, under KESTROVA_REQUIRE_PEERS, fails) the test when nothing listens on port; name is
// the peer, script the tools/peers script that starts it, variable the port's setting.
#define SKIP_UNLESS_LISTENING(port, name, script, variable)                             \
    if (!::kestrova::testing::PeerListening(port)) {                                    \
        if (std::getenv("KESTROVA_REQUIRE_PEERS"))                                      \
            FAIL() << (name) << " is not listening on 127.0.0.1:" << (port);            \
        GTEST_SKIP() << (name) << " is not listening on 127.0.0.1:" << (port)           \
                     << " (start it as root: bash " << (script) << " start; port from " \
                     << (variable) << ")";                                              \
    }

// The SOCKS client against a proxy that answers with arbitrary bytes: every outcome must be a
// connection or an ESocketError that leaves the socket closed. The proxy is this process: it
// accepts the connection when the client first waits to send, writes the input and ends its side.
// The first byte chooses version 4 or 5 and whether the client has a login.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/errors.h"
#include "net/loopback_peer.h"
#include "net/proxy_socket.h"

namespace {

int Listener(uint16_t& port) {
    static int listener = -1;
    static uint16_t listenerPort = 0;
    if (listener < 0) {
        listener = kestrova::testing::BoundLoopbackSocket(listenerPort);
        fcntl(listener, F_SETFL, O_NONBLOCK);
        listen(listener, 16);
    }
    port = listenerPort;
    return listener;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) return 0;
    uint16_t port = 0;
    const int listener = Listener(port);
    kestrova::TUrlComponents url;
    url.HostName = "127.0.0.1";
    url.Port = port;
    if (data[0] & 2) {
        url.UserName = "user";
        url.Password = "pass";
    }
    const std::string replies(reinterpret_cast<const char*>(data) + 1, size - 1);
    int proxySide = -1;
    {
        kestrova::TProxySocket client(1, url, 1024);
        client.Version = (data[0] & 1) ? 5 : 4;
        client.OnWait = [&](kestrova::TWinSocket&, int event, int) {
            if (proxySide >= 0 || event < 2) return;  // not connected yet
            proxySide = accept(listener, nullptr, nullptr);
            if (proxySide < 0) abort();
            if (!replies.empty() &&
                send(proxySide, replies.data(), replies.size(), MSG_NOSIGNAL) < 0)
                abort();
            shutdown(proxySide, SHUT_WR);
        };
        try {
            client.SocketConnect(client.Version == 4 ? "10.0.0.1" : "newshost", 119);
            if (client.State() == kestrova::SocketState::Connected) {
                std::string line;
                client.ReadLine(line);
            }
        } catch (const kestrova::ESocketError&) {
            if (client.State() != kestrova::SocketState::Idle) abort();
        }
    }
    if (proxySide >= 0) close(proxySide);
    return 0;
}

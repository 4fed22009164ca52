#include "news/news_proxy_manager.h"

#include "net/proxy_socket.h"

namespace kestrova {

namespace {

constexpr int kSocks5 = 5;

}  // namespace

TNewsProxyManager::TNewsProxyManager(HANDLE owner)
    : TNewsInternetManager(owner, NoSocket{}), ProxyOptions(Options.Proxy) {
    AttachSocket(CreateSocket());
}

std::unique_ptr<TWinSocket> TNewsProxyManager::CreateSocket() {
    auto socket = std::make_unique<TProxySocket>(Options.Connect.ServerTimeout, ProxyOptions.Url,
                                                 kNewsSocketBufferSize);
    if (ProxyOptions.Socks5 != 0) socket->Version = kSocks5;
    return socket;
}

}  // namespace kestrova

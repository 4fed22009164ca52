#include "news/news_proxy_manager.h"

#include "common/errors.h"
#include "net/proxy_socket.h"
#include "net/socks_error_text.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

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

void TNewsProxyManager::OpenConnection() {
    try {
        TNewsInternetManager::OpenConnection();
    } catch (const ESocketError& failure) {
        if ((failure.Code & ~0xFFu) != kSocksLoginRefused) throw;
        throw ESocketError(failure.Code, GetMsg(kMsgProxyLoginRefused), failure.ProcName);
    }
}

}  // namespace kestrova

// The news manager whose connection goes through the SOCKS proxy of the options; the panel
// creates it instead of the plain one for an account that uses the proxy.
#pragma once

#include <memory>

#include "news/news_internet_manager.h"
#include "ui/plugin_options.h"

namespace kestrova {

class TNewsProxyManager : public TNewsInternetManager {
  public:
    // Copies the options' proxy record, then creates the proxy socket.
    explicit TNewsProxyManager(HANDLE owner);

    // A TProxySocket to ProxyOptions' address, SOCKS 5 when the option Socks5 is set.
    std::unique_ptr<TWinSocket> CreateSocket() override;
    // Connects through the proxy; the proxy's refusal of the user name or password is
    // raised with the language file's text, since the user mends it in the proxy options.
    void OpenConnection() override;

    TProxyOptions ProxyOptions;
};

}  // namespace kestrova

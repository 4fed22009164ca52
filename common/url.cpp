#include "common/url.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

namespace kestrova {

namespace {

// Splits text at position pos (the separator of length sepLength is dropped).
void SplitAt(std::string_view text, size_t pos, size_t sepLength, std::string& before,
             std::string_view& after) {
    before.assign(text.substr(0, pos));
    after = text.substr(pos + sepLength);
}

// The port the text names, 0 when it is not a decimal number from 1 to 65535.
uint16_t PortNumber(std::string_view text) {
    uint16_t port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return port;
}

// An IPv6 address written without brackets (it has no port then). A NUL would end the text
// inet_pton reads early, so a host holding one is never an address.
bool IsBareIPv6(const std::string& host) {
    in6_addr address{};
    return host.find(':') != host.rfind(':') && host.find('\0') == std::string::npos &&
           inet_pton(AF_INET6, host.c_str(), &address) == 1;
}

// Cuts ":port" off host into portText; "[address]" loses its brackets.
void SplitHostPort(std::string& host, std::string& portText) {
    const size_t close = host.find(']');
    if (!host.empty() && host.front() == '[' && close != std::string::npos) {
        if (close + 1 < host.size() && host[close + 1] == ':') portText = host.substr(close + 2);
        host = host.substr(1, close - 1);
        return;
    }
    if (IsBareIPv6(host)) return;
    const size_t portPos = host.find(':');
    if (portPos == std::string::npos) return;
    portText = host.substr(portPos + 1);
    host.resize(portPos);
}

// ParseUrl, also handing out the port as written.
bool SplitUrl(std::string_view text, unsigned flags, TUrlComponents& url, std::string& portText) {
    if (text.empty()) return false;
    url = TUrlComponents();

    std::string_view rest = text;
    const size_t extraPos = rest.find_first_of("?#");
    if (extraPos != std::string_view::npos) {
        url.ExtraInfo.assign(rest.substr(extraPos));
        rest = rest.substr(0, extraPos);
    }

    const size_t schemePos = rest.find("://");
    if (schemePos != std::string_view::npos) {
        SplitAt(rest, schemePos, 3, url.Scheme, rest);
    } else if ((flags & kUrlNoScheme) == 0) {
        url.UrlPath.assign(rest);
        return true;
    }

    const size_t userPos = rest.rfind('@');
    if (userPos != std::string_view::npos) SplitAt(rest, userPos, 1, url.UserName, rest);

    const size_t pathPos = rest.find('/');
    if (pathPos != std::string_view::npos) {
        url.HostName.assign(rest.substr(0, pathPos));
        url.UrlPath.assign(rest.substr(pathPos));
    } else {
        url.HostName.assign(rest);
    }

    SplitHostPort(url.HostName, portText);
    url.Port = PortNumber(portText);

    const size_t passwordPos = url.UserName.find(':');
    if (passwordPos != std::string::npos) {
        url.Password = url.UserName.substr(passwordPos + 1);
        url.UserName.resize(passwordPos);
    }
    return true;
}

}  // namespace

bool IsSecureNewsScheme(std::string_view scheme) {
    const auto same = [scheme](std::string_view name) {
        return scheme.size() == name.size() &&
               std::equal(scheme.begin(), scheme.end(), name.begin(),
                          [](char a, char b) { return (a | 0x20) == b; });
    };
    return same("nntps") || same("snews");
}

bool ParseUrl(std::string_view text, unsigned flags, TUrlComponents& url) {
    std::string portText;
    return SplitUrl(text, flags, url, portText);
}

std::string InvalidUrlPort(std::string_view text, unsigned flags) {
    TUrlComponents url;
    std::string portText;
    if (!SplitUrl(text, flags, url, portText) || portText.empty() || url.Port != 0) return {};
    return portText;
}

bool BuildUrl(const TUrlComponents& url, unsigned flags, std::string& text) {
    text.clear();
    if (url.HostName.empty()) return false;

    if ((flags & kUrlNoScheme) == 0 && !url.Scheme.empty()) text += url.Scheme + "://";

    std::string user;
    if (flags & kUrlUserName) user = url.UserName;
    if ((flags & kUrlPassword) && !url.Password.empty()) user += ":" + url.Password;
    if (!user.empty()) text += user + "@";

    if (url.HostName.find(':') != std::string::npos) {
        text += "[" + url.HostName + "]";  // an IPv6 address
    } else {
        text += url.HostName;
    }
    if ((flags & kUrlNoPort) == 0 && url.Port > 0) text += ":" + std::to_string(url.Port);

    if (!url.UrlPath.empty()) {
        if (url.UrlPath.front() != '/') text += '/';
        text += url.UrlPath;
    }
    if ((flags & kUrlExtraInfo) && !url.ExtraInfo.empty()) text += url.ExtraInfo;
    return true;
}

}  // namespace kestrova

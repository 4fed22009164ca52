#include "common/url.h"

#include <charconv>

namespace kestrova {

namespace {

// Splits text at position pos (the separator of length sepLength is dropped).
void SplitAt(std::string_view text, size_t pos, size_t sepLength, std::string& before,
             std::string_view& after) {
    before.assign(text.substr(0, pos));
    after = text.substr(pos + sepLength);
}

uint16_t PortNumber(std::string_view text) {
    uint16_t port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return port;
}

}  // namespace

bool ParseUrl(std::string_view text, unsigned flags, TUrlComponents& url) {
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

    const size_t portPos = url.HostName.find(':');
    if (portPos != std::string::npos) {
        url.Port = PortNumber(std::string_view(url.HostName).substr(portPos + 1));
        url.HostName.resize(portPos);
    }

    const size_t passwordPos = url.UserName.find(':');
    if (passwordPos != std::string::npos) {
        url.Password = url.UserName.substr(passwordPos + 1);
        url.UserName.resize(passwordPos);
    }
    return true;
}

bool BuildUrl(const TUrlComponents& url, unsigned flags, std::string& text) {
    text.clear();
    if (url.HostName.empty()) return false;

    if ((flags & kUrlNoScheme) == 0 && !url.Scheme.empty()) text += url.Scheme + "://";

    std::string user;
    if (flags & kUrlUserName) user = url.UserName;
    if ((flags & kUrlPassword) && !url.Password.empty()) user += ":" + url.Password;
    if (!user.empty()) text += user + "@";

    text += url.HostName;
    if ((flags & kUrlNoPort) == 0 && url.Port > 0) text += ":" + std::to_string(url.Port);

    if (!url.UrlPath.empty()) {
        if (url.UrlPath.front() != '/') text += '/';
        text += url.UrlPath;
    }
    if ((flags & kUrlExtraInfo) && !url.ExtraInfo.empty()) text += url.ExtraInfo;
    return true;
}

}  // namespace kestrova

// The address record of a server or proxy and its conversion to and from URL text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

struct TUrlComponents {
    std::string Scheme;    // text before "://"
    std::string HostName;  // host name or address
    uint16_t Port = 0;     // 0 when the text has none
    std::string UserName;
    std::string Password;
    std::string UrlPath;    // starts with "/" when parsed from a URL
    std::string ExtraInfo;  // from the first "?" or "#" on, that character included
};

// Flag bits of ParseUrl and BuildUrl.
inline constexpr unsigned kUrlExtraInfo = 1;  // include ExtraInfo
inline constexpr unsigned kUrlUserName = 2;   // include UserName
inline constexpr unsigned kUrlPassword = 4;   // include Password
inline constexpr unsigned kUrlNoScheme = 8;   // parsing: the scheme is optional; building: omit it
inline constexpr unsigned kUrlNoPort = 16;    // building: leave out the port

// The standard ports of news servers: plain, and with implicit TLS.
inline constexpr uint16_t kNewsPort = 119;
inline constexpr uint16_t kSecureNewsPort = 563;

// "nntps" or "snews" (any case): a URL of a server that speaks TLS from the first byte.
bool IsSecureNewsScheme(std::string_view scheme);

// Splits text into url. An empty text gives false and leaves url untouched; otherwise url is
// cleared first and the result is true. Without "://" and without kUrlNoScheme the whole text
// before the extra part is taken as the path. A port that is not a decimal number from 0 to
// 65535 reads as 0. An IPv6 address host is written in brackets ("[::1]:119"; HostName gets
// "::1"); one without brackets is taken whole, without a port.
bool ParseUrl(std::string_view text, unsigned flags, TUrlComponents& url);

// The port of the text as ParseUrl reads it, when one is written but is not a decimal number
// from 1 to 65535 (ParseUrl's Port is 0 then); empty when the port is sound or not written.
std::string InvalidUrlPort(std::string_view text, unsigned flags);

// Joins url into text; false and an empty text when HostName is empty. A host holding ":" (an
// IPv6 address) is written in brackets.
bool BuildUrl(const TUrlComponents& url, unsigned flags, std::string& text);

}  // namespace kestrova

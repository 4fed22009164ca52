// News URLs: news://host[:port]/group, news://host[:port]/<message-id> and news:<message-id>
// (the identifier may also stand without its angle brackets).
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// What the path of a news URL names.
struct TNewsTarget {
    enum class Kind { None, Group, Article };
    Kind What = Kind::None;
    std::string Name;  // the group's name, or the message identifier with its angle brackets
};

// The target of a URL path ("/name" or "name"): an identifier when it holds "@" (brackets
// added when missing), else a group; None for an empty path or one holding a blank, a control
// character or a further "/".
TNewsTarget NewsUrlTarget(std::string_view path);

// Splits a news command line, the whole URL ("news://host/group", "nntps://host:563",
// "news:<message-id>") or what follows its "news:", into the server part, a URL for ParseUrl
// with its scheme ("news://host:port", "nntps://host"; empty for news:<message-id>, which names
// no server), and the path after the server.
void SplitNewsUrl(std::string_view text, std::string& server, std::string& path);

}  // namespace kestrova

#include "common/news_url.h"

#include "common/text_utils.h"
#include "common/url.h"

namespace kestrova {

TNewsTarget NewsUrlTarget(std::string_view path) {
    if (path.starts_with('/')) path.remove_prefix(1);
    TNewsTarget target;
    if (path.empty()) return target;
    for (char c : path) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == 0x7F) return target;
    }
    if (path.find('@') == std::string_view::npos) {
        target.What = TNewsTarget::Kind::Group;
        target.Name = path;
        return target;
    }
    if (path.starts_with('<') && path.ends_with('>')) path = path.substr(1, path.size() - 2);
    if (path.empty() || path.find_first_of("<>") != std::string_view::npos) return target;
    target.What = TNewsTarget::Kind::Article;
    target.Name = "<" + std::string(path) + ">";
    return target;
}

void SplitNewsUrl(std::string_view text, std::string& server, std::string& path) {
    server.clear();
    path.clear();
    std::string_view scheme = "news";
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view head = text.substr(0, colon);
        if (IsSecureNewsScheme(head) || CompareTextOem(head, "news") == 0) {
            scheme = head;
            text.remove_prefix(colon + 1);
        }
    }
    if (!text.starts_with("//")) {
        path = text;  // news:<message-id> or news:group: the default server's
        return;
    }
    // The path is cut off first, so that the "@" of an identifier is not read as a user name.
    const size_t slash = text.find('/', 2);
    server = std::string(scheme) + ":" + std::string(text.substr(0, slash));
    if (slash != std::string_view::npos) path = text.substr(slash);
}

}  // namespace kestrova

#include "ui/reply_headers.h"

#include <algorithm>
#include <vector>

namespace kestrova {
namespace {

constexpr size_t kMessageIdLimit = 250;
constexpr size_t kGroupNameLimit = 250;
constexpr size_t kKeptAtEnd = 3;  // the latest identifiers a shortened References keeps

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAsciiText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Next line of text (its CR LF or LF removed), advancing pos past it.
std::string_view NextLine(std::string_view text, size_t& pos) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The words of text separated by blanks or by separator.
std::vector<std::string_view> Words(std::string_view text, char separator) {
    std::vector<std::string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsBlank(text[i]) && text[i] != separator) continue;
        if (i > start) words.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return words;
}

// Letters, digits and "+-_." as group names use them (RFC 5536, 3.1.4), not starting with ".".
bool IsWellFormedGroupName(std::string_view name) {
    if (name.empty() || name.size() > kGroupNameLimit || name.front() == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '+' || c == '-' || c == '_' || c == '.';
    });
}

std::string GroupList(std::string_view value) {
    std::string groups;
    for (std::string_view name : Words(value, ',')) {
        if (!IsWellFormedGroupName(name)) continue;
        if (!groups.empty()) groups += ',';
        groups += name;
    }
    return groups;
}

// Length of a leading reply mark ("Re:", "Re[2]:", any case, blanks after it), 0 for none.
size_t ReplyMarkLength(std::string_view subject) {
    if (subject.size() < 3 || !SameAsciiText(subject.substr(0, 2), "re")) return 0;
    size_t pos = 2;
    if (subject[pos] == '[') {
        const size_t close = subject.find(']', pos);
        if (close == std::string_view::npos || close == pos + 1) return 0;
        for (size_t i = pos + 1; i < close; ++i)
            if (subject[i] < '0' || subject[i] > '9') return 0;
        pos = close + 1;
    }
    if (pos >= subject.size() || subject[pos] != ':') return 0;
    ++pos;
    while (pos < subject.size() && IsBlank(subject[pos])) ++pos;
    return pos;
}

}  // namespace

bool IsWellFormedMessageId(std::string_view id) {
    if (id.size() < 3 || id.size() > kMessageIdLimit || id.front() != '<' || id.back() != '>')
        return false;
    const std::string_view inside = id.substr(1, id.size() - 2);
    const size_t at = inside.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 == inside.size()) return false;
    return std::all_of(inside.begin(), inside.end(),
                       [](char c) { return c > ' ' && c < 127 && c != '<' && c != '>'; });
}

TParentHeaders ReadParentHeaders(std::string_view article) {
    article = article.substr(0, std::min(article.size(), kParentHeaderLimit));
    TParentHeaders parent;
    std::string* field = nullptr;  // the field a continuation line adds to
    for (size_t pos = 0; pos < article.size();) {
        const std::string_view line = NextLine(article, pos);
        if (line.empty()) break;
        if (IsBlank(line.front())) {
            if (field) *field += " " + std::string(Trimmed(line));
            continue;
        }
        field = nullptr;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, colon);
        for (auto [known, target] : {std::pair{"Message-ID", &parent.MessageId},
                                     {"References", &parent.References},
                                     {"Newsgroups", &parent.Newsgroups},
                                     {"Followup-To", &parent.FollowupTo}}) {
            if (!SameAsciiText(name, known)) continue;
            field = target;
            *field = Trimmed(line.substr(colon + 1));
        }
    }
    return parent;
}

std::string_view ArticleBodyOf(std::string_view article) {
    for (size_t pos = 0; pos < article.size();) {
        if (NextLine(article, pos).empty()) return article.substr(std::min(pos, article.size()));
    }
    return {};
}

std::string ReplySubject(std::string_view subject) {
    subject = Trimmed(subject);
    while (const size_t mark = ReplyMarkLength(subject)) subject.remove_prefix(mark);
    std::string text = "Re: ";
    for (const char c : subject) text += static_cast<unsigned char>(c) < ' ' || c == 127 ? ' ' : c;
    return text;
}

std::string ReplyReferences(const TParentHeaders& parent) {
    const std::string_view own = Trimmed(parent.MessageId);
    if (!IsWellFormedMessageId(own)) return {};
    std::vector<std::string_view> ids;
    for (std::string_view id : Words(parent.References, ' '))
        if (IsWellFormedMessageId(id)) ids.push_back(id);
    ids.push_back(own);
    const auto lineLength = [&ids] {
        size_t length = std::string_view("References:").size();
        for (std::string_view id : ids) length += 1 + id.size();
        return length;
    };
    while (lineLength() > kHeaderLineLimit && ids.size() > 1 + kKeptAtEnd)
        ids.erase(ids.begin() + 1);
    std::string value;
    for (std::string_view id : ids) {
        if (!value.empty()) value += ' ';
        value += id;
    }
    return value;
}

bool WantsMailReply(const TParentHeaders& parent) {
    return SameAsciiText(Trimmed(parent.FollowupTo), "poster");
}

std::string ReplyNewsgroups(const TParentHeaders& parent) {
    const std::string followup = WantsMailReply(parent) ? "" : GroupList(parent.FollowupTo);
    return followup.empty() ? GroupList(parent.Newsgroups) : followup;
}

}  // namespace kestrova

#include "news/thread_links.h"

namespace kestrova {

namespace {

constexpr char kLinksKeyMark = '\x01';

bool IsIdCharacter(char c) {
    return c != ' ' && c != '\t' && c != '\r' && c != '\n';
}

}  // namespace

std::string ThreadLinksKey(std::string_view group) {
    std::string key(group);
    key += kLinksKeyMark;
    key += "References";
    return key;
}

void TThreadLinks::Add(std::string_view messageId, std::string_view references) {
    if (messageId.empty() || messageId.size() > kMaxMessageIdLength) return;
    for (const char c : messageId) {
        if (!IsIdCharacter(c)) return;
    }
    const std::vector<std::string_view> ids = ReferenceIds(references);
    if (ids.empty()) return;
    if (!knownFilled_) {
        for (const TThreadLink& line : Lines()) known_.emplace(line.MessageId);
        knownFilled_ = true;
    }
    if (!known_.emplace(messageId).second) return;
    text_ += messageId;
    for (const std::string_view id : ids) {
        text_ += ' ';
        text_ += id;
    }
    text_ += '\n';
}

void TThreadLinks::Load(TCache& cache, std::string_view group) {
    std::vector<char> bytes;
    text_.clear();
    known_.clear();
    knownFilled_ = false;
    if (cache.Get(ThreadLinksKey(group), bytes)) text_.assign(bytes.begin(), bytes.end());
}

void TThreadLinks::Put(TCache& cache, std::string_view group) const {
    if (text_.empty()) return;
    cache.Put(ThreadLinksKey(group), std::vector<char>(text_.begin(), text_.end()), false);
}

std::vector<TThreadLink> TThreadLinks::Lines() const {
    std::vector<TThreadLink> links;
    const std::string_view text = text_;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const size_t blank = line.find(' ');
        if (blank != 0 && blank != std::string_view::npos) {
            links.push_back({line.substr(0, blank), line.substr(blank + 1)});
        }
        start = end + 1;
    }
    return links;
}

}  // namespace kestrova

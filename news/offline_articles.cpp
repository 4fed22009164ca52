#include "news/offline_articles.h"

#include <algorithm>
#include <vector>

namespace kestrova {

namespace {

constexpr std::string_view kEndOfHeader = "\r\n\r\n";

bool WellFormedId(std::string_view id) {
    if (id.size() < 3 || id.front() != '<' || id.back() != '>') return false;
    return std::none_of(id.begin(), id.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7F'; });
}

std::string KeyOf(std::string_view command, std::string_view messageId) {
    std::string key(command);
    key += ' ';
    key += messageId;
    return key;
}

}  // namespace

TOfflineArticles::TOfflineArticles(uint64_t limit) : store_(TCache::kUnlimited, 0), limit_(limit) {}

bool TOfflineArticles::Keep(std::string_view command, std::string_view messageId,
                            std::string_view text) {
    if (!WellFormedId(messageId) || text.size() > limit_) return false;
    store_.Put(KeyOf(command, messageId), std::vector<char>(text.begin(), text.end()), true);
    Trim();
    return true;
}

bool TOfflineArticles::Find(std::string_view command, std::string_view messageId,
                            std::string& text) {
    if (!WellFormedId(messageId)) return false;
    std::vector<char> bytes;
    if (store_.Get(KeyOf(command, messageId), bytes)) {
        text.assign(bytes.begin(), bytes.end());
        return true;
    }
    if (command == "ARTICLE" || !store_.Get(KeyOf("ARTICLE", messageId), bytes)) return false;
    const std::string_view article(bytes.data(), bytes.size());
    const size_t end = article.find(kEndOfHeader);
    const size_t split = end == std::string_view::npos ? article.size() : end + 2;
    text = command == "HEAD" ? article.substr(0, split)
                             : article.substr(std::min(split + 2, article.size()));
    return true;
}

void TOfflineArticles::Trim() {
    uint64_t size = 0;
    for (const TCacheEntry& entry : store_.Entries()) size += entry.Data->size();
    while (size > limit_ && store_.Count() > 0) {
        const TCacheEntry& oldest = store_.Entries().front();
        size -= oldest.Data->size();
        store_.Delete(std::string(oldest.Key));
    }
}

void TCopyingStream::GiveUp() {
    complete_ = false;
    std::string().swap(copy_);
}

int64_t TCopyingStream::Write(const void* buffer, int64_t count) {
    const int64_t written = target_.Write(buffer, count);
    if (complete_ && written > 0) {
        if (copy_.size() + static_cast<uint64_t>(written) > limit_) {
            GiveUp();
        } else {
            copy_.append(static_cast<const char*>(buffer), static_cast<size_t>(written));
        }
    }
    return written;
}

int64_t TCopyingStream::Seek(int64_t offset, SeekOrigin origin) {
    if (!(offset == 0 && origin == SeekOrigin::Current)) GiveUp();
    return target_.Seek(offset, origin);
}

void TCopyingStream::SetSize(int64_t size) {
    GiveUp();
    target_.SetSize(size);
}

}  // namespace kestrova

#include "news/older_articles.h"

#include <charconv>
#include <system_error>
#include <vector>

namespace kestrova {

std::string OlderArticlesKey(std::string_view group) {
    std::string key(group);
    key += '\x02';
    key += "Older";
    return key;
}

int64_t OlderArticlesEnd(TCache& cache, std::string_view group) {
    std::vector<char> bytes;
    if (!cache.Get(OlderArticlesKey(group), bytes)) return 0;
    int64_t end = 0;
    const auto [at, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), end);
    if (error != std::errc() || at != bytes.data() + bytes.size() || end < 0) return 0;
    return end;
}

void PutOlderArticlesEnd(TCache& cache, std::string_view group, int64_t end) {
    if (end <= 0) {
        cache.Delete(OlderArticlesKey(group));
        return;
    }
    const std::string text = std::to_string(end);
    cache.Put(OlderArticlesKey(group), std::vector<char>(text.begin(), text.end()), false);
}

}  // namespace kestrova

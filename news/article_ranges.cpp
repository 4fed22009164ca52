#include "news/article_ranges.h"

#include <algorithm>
#include <charconv>

namespace kestrova {

namespace {

// A whole number of 1 .. kMaxArticleNumber that is all of text; false otherwise.
bool ArticleNumber(std::string_view text, int64_t& number) {
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && at == end && number >= 1 &&
           number <= TArticleRanges::kMaxArticleNumber;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

TArticleRanges TArticleRanges::Parse(std::string_view text, bool* damaged) {
    TArticleRanges result;
    bool skipped = false;
    // Collected first, then sorted and merged once: adding each in place would cost a move of
    // the whole list per range of a hostile text.
    std::vector<Range> found;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view part = Trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (part.empty()) continue;
        const size_t dash = part.find('-');
        int64_t first = 0;
        int64_t last = 0;
        const bool read = dash == std::string_view::npos
                              ? ArticleNumber(part, first) && ArticleNumber(part, last)
                              : ArticleNumber(Trimmed(part.substr(0, dash)), first) &&
                                    ArticleNumber(Trimmed(part.substr(dash + 1)), last);
        if (!read || last < first) {
            skipped = true;
            continue;
        }
        found.push_back({first, last});
        if (found.size() > 4 * kMaxRanges) {  // merge now and then, so memory stays bounded
            result.ranges_.insert(result.ranges_.end(), found.begin(), found.end());
            found.clear();
            result.Normalize();
        }
    }
    result.ranges_.insert(result.ranges_.end(), found.begin(), found.end());
    result.Normalize();
    if (damaged) *damaged = skipped;
    return result;
}

std::string TArticleRanges::Text() const {
    std::string text;
    for (const Range& range : ranges_) {
        if (!text.empty()) text += ',';
        text += std::to_string(range.First);
        if (range.Last != range.First) text += '-' + std::to_string(range.Last);
    }
    return text;
}

bool TArticleRanges::Contains(int64_t number) const {
    const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), number,
                                        [](int64_t n, const Range& r) { return n < r.First; });
    return after != ranges_.begin() && std::prev(after)->Last >= number;
}

int64_t TArticleRanges::CountIn(int64_t first, int64_t last) const {
    int64_t count = 0;
    for (const Range& range : ranges_) {
        const int64_t from = std::max(first, range.First);
        const int64_t to = std::min(last, range.Last);
        if (from <= to) count += to - from + 1;
    }
    return count;
}

void TArticleRanges::Add(int64_t first, int64_t last) {
    first = std::max<int64_t>(first, 1);
    last = std::min(last, kMaxArticleNumber);
    if (first > last) return;
    ranges_.push_back({first, last});
    Normalize();
}

void TArticleRanges::Normalize() {
    std::sort(ranges_.begin(), ranges_.end(),
              [](const Range& a, const Range& b) { return a.First < b.First; });
    std::vector<Range> merged;
    merged.reserve(ranges_.size());
    for (const Range& range : ranges_) {
        if (!merged.empty() && range.First <= merged.back().Last + 1)
            merged.back().Last = std::max(merged.back().Last, range.Last);
        else
            merged.push_back(range);
    }
    ranges_ = std::move(merged);
    Bound();
}

void TArticleRanges::Remove(int64_t first, int64_t last) {
    if (first > last) return;
    std::vector<Range> kept;
    kept.reserve(ranges_.size() + 1);
    for (const Range& range : ranges_) {
        if (range.Last < first || range.First > last) {
            kept.push_back(range);
            continue;
        }
        if (range.First < first) kept.push_back({range.First, first - 1});
        if (range.Last > last) kept.push_back({last + 1, range.Last});
    }
    ranges_ = std::move(kept);
    Bound();
}

void TArticleRanges::Bound() {
    if (ranges_.size() <= kMaxRanges) return;
    const size_t excess = ranges_.size() - kMaxRanges;
    ranges_[excess].First = ranges_.front().First;
    ranges_.erase(ranges_.begin(), ranges_.begin() + static_cast<std::ptrdiff_t>(excess));
}

}  // namespace kestrova

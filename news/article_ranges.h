// A set of article numbers kept as sorted, disjoint ranges, read from and written as the compact
// text newsreaders share ("1-200,205"). The text comes from outside (the settings store, a
// .newsrc file), so reading it is bounded: numbers past kMaxArticleNumber, reversed or malformed
// ranges are skipped, and at most kMaxRanges ranges are kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class TArticleRanges {
  public:
    // Servers number articles from 1; RFC 3977 allows up to 2^63 - 1, far beyond any server.
    static constexpr int64_t kMaxArticleNumber = int64_t{1} << 50;
    // Past this many ranges the lowest gaps are closed (those old articles count as read).
    static constexpr size_t kMaxRanges = 8192;

    struct Range {
        int64_t First;
        int64_t Last;
        bool operator==(const Range&) const = default;
    };

    // The ranges of text; damaged (when given) tells whether parts of it were skipped.
    static TArticleRanges Parse(std::string_view text, bool* damaged = nullptr);
    // "1-200,205"; empty for no numbers.
    std::string Text() const;

    bool Contains(int64_t number) const;
    // How many numbers of first to last are in the set.
    int64_t CountIn(int64_t first, int64_t last) const;
    // Adds or removes first to last (clipped to 1 .. kMaxArticleNumber; nothing when reversed).
    void Add(int64_t first, int64_t last);
    void Remove(int64_t first, int64_t last);
    bool Empty() const { return ranges_.empty(); }
    const std::vector<Range>& Ranges() const { return ranges_; }
    bool operator==(const TArticleRanges&) const = default;

  private:
    // Sorts the ranges and merges those that touch or overlap, then bounds their number.
    void Normalize();
    // Closes the lowest gaps until at most kMaxRanges ranges are left.
    void Bound();

    std::vector<Range> ranges_;
};

}  // namespace kestrova

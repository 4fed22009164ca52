#include <string>
#include <string_view>

#include "common/text_utils.h"

namespace kestrova {

namespace {

size_t NextSeparator(std::string_view text, size_t pos, char separator) {
    size_t next = text.find(separator, pos);
    return next == std::string_view::npos ? text.size() : next;
}

// The start of word n (1-based) and the count of words seen up to it, or of all words when n is
// past the last. A NUL where a word would start does not start one.
struct WordWalk {
    size_t start = std::string_view::npos;
    int count = 0;
};

WordWalk WalkWords(int n, std::string_view text, char separator) {
    WordWalk walk;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == separator) ++pos;
        if (pos < text.size() && text[pos] != '\0' && ++walk.count == n) {
            walk.start = pos;
            return walk;
        }
        pos = NextSeparator(text, pos, separator);
    }
    return walk;
}

}  // namespace

int WordPosition(int n, std::string_view text, char separator) {
    if (n <= 0) return 0;
    const size_t start = WalkWords(n, text, separator).start;
    return start == std::string_view::npos ? 0 : static_cast<int>(start) + 1;
}

std::string_view WordView(int n, std::string_view text, char separator) {
    const int position = WordPosition(n, text, separator);
    if (position == 0) return {};
    const size_t start = static_cast<size_t>(position) - 1;
    return text.substr(start, NextSeparator(text, start, separator) - start);
}

std::string ExtractWord(int n, std::string_view text, char separator) {
    return std::string(WordView(n, text, separator));
}

int WordCount(std::string_view text, char separator) {
    return WalkWords(0, text, separator).count;
}

}  // namespace kestrova

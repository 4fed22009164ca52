#include <string>
#include <string_view>

#include "common/text_utils.h"

namespace kestrova {

namespace {

size_t NextSeparator(std::string_view text, size_t pos, char separator) {
    size_t next = text.find(separator, pos);
    return next == std::string_view::npos ? text.size() : next;
}

}  // namespace

// A NUL where a word would start does not start one.
int WordPosition(int n, std::string_view text, char separator) {
    if (n <= 0) return 0;
    int count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == separator) ++pos;
        if (pos < text.size() && text[pos] != '\0' && ++count == n)
            return static_cast<int>(pos) + 1;
        pos = NextSeparator(text, pos, separator);
    }
    return 0;
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

// Counts the separator runs after the first word, with one separator assumed after the text.
int WordCount(std::string_view text, char separator) {
    size_t pos = text.find_first_not_of(separator);
    if (pos == std::string_view::npos) return 0;
    int count = 0;
    while (pos < text.size()) {
        pos = NextSeparator(text, pos, separator);
        ++count;
        while (pos < text.size() && text[pos] == separator) ++pos;
    }
    return count;
}

}  // namespace kestrova

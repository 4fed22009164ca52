#include <algorithm>
#include <string>
#include <string_view>

#include "common/text_utils.h"

namespace kestrova {

std::string TrimLeft(std::string_view text) {
    size_t start = text.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string() : std::string(text.substr(start));
}

std::string TrimRight(std::string_view text) {
    size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string Trim(std::string_view text) {
    return TrimLeft(TrimRight(text));
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == '\0' || c == '\t' || c == ' '; });
}

std::string ReplaceChar(std::string_view text, char from, char to) {
    std::string result(text);
    if (from != to) std::replace(result.begin(), result.end(), from, to);
    return result;
}

}  // namespace kestrova

// Words of separated lists, trimming, tests and OEM-aware comparison.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

int WordPosition(int n, std::string_view text, char separator);  // 1-based; 0 when absent
std::string ExtractWord(int n, std::string_view text, char separator);
// The same word as ExtractWord, viewed in text (empty when absent): nothing is copied.
std::string_view WordView(int n, std::string_view text, char separator);
int WordCount(std::string_view text, char separator);

std::string TrimLeft(std::string_view text);  // spaces (32) only
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);
bool IsBlank(std::string_view text);  // every character NUL, TAB or space; true when empty
std::string ReplaceChar(std::string_view text, char from, char to);

// Locale-aware comparison of OEM texts; flags 1 ignores case; length -1 compares whole texts.
// Each call reads the code pages from the environment; a loop comparing many texts uses one
// TOemCollation (common/oem_collation.h) instead.
int CompareOem(std::string_view a, std::string_view b, unsigned flags, int length);
inline int CompareTextOem(std::string_view a, std::string_view b) {
    return CompareOem(a, b, 1, -1);
}
inline int CompareTextOemN(std::string_view a, std::string_view b, int length) {
    return CompareOem(a, b, 1, length);
}

}  // namespace kestrova

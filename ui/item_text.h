// Copying text into the fixed-size text fields of the host's records.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace kestrova {

// Copies at most limit characters of text (and never more than the field holds with its NUL)
// into field, NUL-terminated; a longer text is cut.
template <size_t N>
void CopyItemText(char (&field)[N], std::string_view text, size_t limit = N - 1) {
    const size_t length = std::min({text.size(), limit, N - 1});
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace kestrova

// Copying text into the fixed-size text fields of the host's records.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/utf8.h"

namespace kestrova {

// Copies at most limit bytes of text (and never more than the field holds with its NUL) into
// field, NUL-terminated; a longer text is cut on a character boundary.
template <size_t N>
void CopyItemText(char (&field)[N], std::string_view text, size_t limit = N - 1) {
    const size_t length = platform::Utf8PrefixLength(text, std::min(limit, N - 1));
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace kestrova

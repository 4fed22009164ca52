#include "platform/display_width.h"

#include <algorithm>
#include <cstdint>

#include "platform/display_width_tables.h"
#include "platform/utf8.h"

namespace kestrova::platform {
namespace {

bool InRanges(std::span<const CodePointRange> ranges, char32_t c) {
    const auto after =
        std::upper_bound(ranges.begin(), ranges.end(), c,
                         [](char32_t v, const CodePointRange& r) { return v < r.First; });
    return after != ranges.begin() && c <= (after - 1)->Last;
}

// The width of the character at utf8[pos], moving pos past it.
int NextWidth(std::string_view utf8, size_t& pos) {
    if (static_cast<uint8_t>(utf8[pos]) < 0x80) {
        ++pos;
        return 1;
    }
    return CharacterWidth(NextUtf8CodePoint(utf8, pos));
}

}  // namespace

int CharacterWidth(char32_t c) {
    if (c < 0x300) return 1;  // Latin-1 and the controls: one column each
    if (InRanges(ZeroWidthRanges(), c)) return 0;
    return InRanges(WideRanges(), c) ? 2 : 1;
}

int TextWidth(std::string_view utf8) {
    int width = 0;
    for (size_t pos = 0; pos < utf8.size();) width += NextWidth(utf8, pos);
    return width;
}

size_t PrefixForWidth(std::string_view utf8, int columns) {
    int width = 0;
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t next = pos;
        const int w = NextWidth(utf8, next);
        if (width + w > columns) break;
        width += w;
        pos = next;
    }
    return pos;
}

size_t SuffixForWidth(std::string_view utf8, int columns) {
    // Character starts from the end: a byte that is no continuation byte starts one.
    int width = 0;
    size_t start = utf8.size();
    while (start > 0) {
        size_t lead = start - 1;
        while (lead > 0 && start - lead < 4 && (static_cast<uint8_t>(utf8[lead]) & 0xC0) == 0x80)
            --lead;
        size_t pos = lead;
        const int w = NextWidth(utf8, pos);
        if (width + w > columns) break;
        width += w;
        start = lead;
    }
    return start;
}

std::string FitToWidth(std::string_view utf8, int columns) {
    if (columns <= 0) return {};
    const size_t length = PrefixForWidth(utf8, columns);
    std::string fitted(utf8.substr(0, length));
    fitted.append(static_cast<size_t>(columns - TextWidth(fitted)), ' ');
    return fitted;
}

}  // namespace kestrova::platform

// The Unicode ranges behind the display width: sorted, not overlapping.
#pragma once

#include <span>

namespace kestrova::platform {

struct CodePointRange {
    char32_t First;
    char32_t Last;
};

std::span<const CodePointRange> ZeroWidthRanges();
std::span<const CodePointRange> WideRanges();

}  // namespace kestrova::platform

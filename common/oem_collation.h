// The collation of OEM texts for one pair of OEM and ANSI code pages, resolved once: letters
// compare by the case-folded Unicode code point of their ANSI conversion (of their UTF-8 form
// when the OEM code page is UTF-8; Cyrillic yo sorts right after ye); when case matters, texts that
// are equal apart from case order a lower-case letter before the upper-case one. Comparing
// allocates nothing and reads no environment, so a loop that compares many texts builds one
// collation and uses it throughout.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrova {

inline constexpr unsigned kCompareIgnoreCase = 1;

class TOemCollation {
  public:
    // What the collation knows of one OEM byte.
    struct TByteWeight {
        uint32_t Primary;  // the case-folded code point, doubled; yo is one above ye
        char32_t Point;    // the code point of the byte's ANSI conversion
        bool Lower;        // Point is its own case-folded form
    };
    using TWeightTable = std::array<TByteWeight, 256>;

    // The pages that the environment names now.
    TOemCollation();
    // Throws std::invalid_argument when either page is not supported.
    TOemCollation(int oemCodePage, int ansiCodePage);

    // -1, 0 or 1; flags kCompareIgnoreCase ignores case; a length of 0 or more compares only
    // that many leading bytes of each text.
    int Compare(std::string_view a, std::string_view b, unsigned flags, int length) const;
    int CompareText(std::string_view a, std::string_view b) const {
        return Compare(a, b, kCompareIgnoreCase, -1);
    }

  private:
    const TByteWeight& Weight(char oemByte) const {
        return (*table_)[static_cast<unsigned char>(oemByte)];
    }

    // The comparison of UTF-8 texts that are equal up to byte from.
    int CompareUtf8(std::string_view a, std::string_view b, size_t from, unsigned flags) const;

    const TWeightTable* table_;  // shared by every collation of the same pages; never freed
    bool utf8_;
};

}  // namespace kestrova

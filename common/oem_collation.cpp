#include "common/oem_collation.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova {

namespace {

constexpr char32_t kCyrillicYe = 0x435;
constexpr char32_t kCyrillicYo = 0x451;

// The lower-case letter of an upper-case one in the Latin, Greek and Cyrillic ranges that the
// single-byte code pages reach; any other character is returned as it is.
char32_t FoldCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c == 0x490) return 0x491;
    return c;
}

uint32_t PrimaryWeight(char32_t folded) {
    if (folded == kCyrillicYo) return kCyrillicYe * 2 + 1;
    return static_cast<uint32_t>(folded) * 2;
}

TOemCollation::TByteWeight WeightOf(char32_t point) {
    const char32_t folded = FoldCase(point);
    return {PrimaryWeight(folded), point, point == folded};
}

TOemCollation::TWeightTable BuildTable(int oemCodePage, int ansiCodePage) {
    TOemCollation::TWeightTable table;
    if (oemCodePage == platform::kUtf8CodePage) {
        // Only ASCII bytes stand for themselves; other characters are decoded when compared.
        for (int byte = 0; byte < 256; ++byte) table[byte] = WeightOf(static_cast<char32_t>(byte));
        return table;
    }
    // A UTF-8 ANSI page holds every character: the OEM page's own are compared.
    if (ansiCodePage == platform::kUtf8CodePage) ansiCodePage = oemCodePage;
    std::string bytes(256, '\0');
    for (int byte = 0; byte < 256; ++byte) bytes[byte] = static_cast<char>(byte);
    const std::string ansi = platform::ConvertCodePage(bytes, oemCodePage, ansiCodePage);
    char32_t points[256];
    if (!platform::CodePageTable(ansiCodePage, points)) {
        throw std::invalid_argument("unsupported code page " + std::to_string(ansiCodePage));
    }
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = WeightOf(points[static_cast<unsigned char>(ansi[byte])]);
    return table;
}

// Each pair's table is built on first use and kept for the life of the process.
const TOemCollation::TWeightTable& TableFor(int oemCodePage, int ansiCodePage) {
    static std::mutex guard;
    static std::map<std::pair<int, int>, TOemCollation::TWeightTable> tables;
    std::lock_guard lock(guard);
    const std::pair key{oemCodePage, ansiCodePage};
    auto found = tables.find(key);
    if (found == tables.end()) {
        found = tables.emplace(key, BuildTable(oemCodePage, ansiCodePage)).first;
    }
    return found->second;
}

}  // namespace

TOemCollation::TOemCollation() : TOemCollation(platform::OemCodePage(), platform::AnsiCodePage()) {}

TOemCollation::TOemCollation(int oemCodePage, int ansiCodePage)
    : table_(&TableFor(oemCodePage, ansiCodePage)), utf8_(oemCodePage == platform::kUtf8CodePage) {}

int TOemCollation::CompareUtf8(std::string_view a, std::string_view b, size_t from,
                               unsigned flags) const {
    // from lies in a common start: back to the start of its character.
    while (from > 0 && (static_cast<unsigned char>(a[from]) & 0xC0) == 0x80) --from;
    size_t atA = from, atB = from;
    while (atA < a.size() && atB < b.size()) {
        const auto x = static_cast<unsigned char>(a[atA]), y = static_cast<unsigned char>(b[atB]);
        if (x < 0x80 && y < 0x80) {
            ++atA, ++atB;
            if (x == y) continue;
            const uint32_t primaryA = Weight(a[atA - 1]).Primary,
                           primaryB = Weight(b[atB - 1]).Primary;
            if (primaryA != primaryB) return primaryA < primaryB ? -1 : 1;
            continue;
        }
        const char32_t pointA = platform::NextUtf8CodePoint(a, atA);
        const char32_t pointB = platform::NextUtf8CodePoint(b, atB);
        if (pointA == pointB) continue;
        const uint32_t primaryA = WeightOf(pointA).Primary, primaryB = WeightOf(pointB).Primary;
        if (primaryA != primaryB) return primaryA < primaryB ? -1 : 1;
    }
    if (atA < a.size() || atB < b.size()) return atA < a.size() ? 1 : -1;
    if (flags & kCompareIgnoreCase) return 0;
    for (atA = from, atB = from; atA < a.size() && atB < b.size();) {
        const TByteWeight weightA = WeightOf(platform::NextUtf8CodePoint(a, atA));
        const TByteWeight weightB = WeightOf(platform::NextUtf8CodePoint(b, atB));
        if (weightA.Point != weightB.Point) return weightA.Lower ? -1 : 1;  // lower case first
    }
    return 0;
}

int TOemCollation::Compare(std::string_view a, std::string_view b, unsigned flags,
                           int length) const {
    if (length >= 0) {
        a = a.substr(0, std::min(a.size(), static_cast<size_t>(length)));
        b = b.substr(0, std::min(b.size(), static_cast<size_t>(length)));
    }
    const size_t common = std::min(a.size(), b.size());
    size_t i = 0;
    // Equal bytes weigh the same: a common start (names of one hierarchy) is passed eight bytes
    // at a time.
    for (uint64_t x, y; i + sizeof x <= common; i += sizeof x) {
        std::memcpy(&x, a.data() + i, sizeof x);
        std::memcpy(&y, b.data() + i, sizeof y);
        if (x != y) break;
    }
    if (utf8_) return CompareUtf8(a, b, i, flags);
    for (; i < common; ++i) {
        if (a[i] == b[i]) continue;
        const uint32_t primaryA = Weight(a[i]).Primary;
        const uint32_t primaryB = Weight(b[i]).Primary;
        if (primaryA != primaryB) return primaryA < primaryB ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (flags & kCompareIgnoreCase) return 0;
    for (size_t i = 0; i < common; ++i) {
        const TByteWeight& weightA = Weight(a[i]);
        const TByteWeight& weightB = Weight(b[i]);
        if (weightA.Point != weightB.Point) return weightA.Lower ? -1 : 1;  // lower case first
    }
    return 0;
}

}  // namespace kestrova

#include "common/oem_collation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/text_utils.h"
#include "platform/scoped_environment.h"

namespace kestrova {
namespace {

constexpr unsigned kCaseSensitive = 0;

// Sets both code pages for the life of the object.
struct ScopedCodePages : ScopedEnvironment {
    ScopedCodePages(int oem, int ansi) {
        Set("KESTROVA_OEMCP", std::to_string(oem).c_str());
        Set("KESTROVA_ANSICP", std::to_string(ansi).c_str());
    }
};

struct PairCase {
    std::string a, b;
    unsigned flags;
    int length;
    int expected;
};

// Texts longer than one byte and limited lengths; single bytes are covered by the digests below.
// CP866 with CP1251: 0x85 YE, 0xA5 ye, 0xF0 YO, 0xF1 yo.
const PairCase kPairs[] = {
    {"", "", kCaseSensitive, -1, 0},
    {"", "a", kCaseSensitive, -1, -1},
    {"abc", "ABC", kCaseSensitive, -1, -1},
    {"abc", "ABC", kCompareIgnoreCase, -1, 0},
    {"aB", "Ab", kCaseSensitive, -1, -1},  // the first case difference decides
    {"aB", "Ab", kCompareIgnoreCase, -1, 0},
    {"Zebra", "apple", kCaseSensitive, -1, 1},
    {"comp.lang", "comp.lang.c", kCompareIgnoreCase, -1, -1},
    {"apple.groups", "Zebra.groups", kCompareIgnoreCase, -1, -1},  // decided in the first eight
    {"\x85\xF1", "\xA5\xF0", kCaseSensitive, -1, 1},
    {"\x85\xF1", "\xA5\xF0", kCompareIgnoreCase, -1, 0},
    {"abcX", "ABCy", kCompareIgnoreCase, 3, 0},
    {"abC", "abc", kCaseSensitive, 2, 0},
    {"abc", "xyz", kCaseSensitive, 0, 0},
    {"abc", "abcd", kCompareIgnoreCase, 5, -1},
    {"abc", "abcd", kCompareIgnoreCase, 3, 0},
};

TEST(OemCollation, PairsKeepTheirOrder) {
    const TOemCollation collation(866, 1251);
    ScopedCodePages pages(866, 1251);
    for (const PairCase& c : kPairs) {
        SCOPED_TRACE(c.a + " / " + c.b);
        EXPECT_EQ(collation.Compare(c.a, c.b, c.flags, c.length), c.expected);
        EXPECT_EQ(collation.Compare(c.b, c.a, c.flags, c.length), -c.expected);
        EXPECT_EQ(CompareOem(c.a, c.b, c.flags, c.length), c.expected);
        const int wrapper = c.length >= 0 ? CompareTextOemN(c.a, c.b, c.length)
                            : c.flags     ? CompareTextOem(c.a, c.b)
                                          : CompareOem(c.a, c.b, 0, -1);
        EXPECT_EQ(wrapper, c.expected);
    }
}

// FNV-1a over the result of every pair of single bytes, case-sensitive then ignoring case: it
// covers the primary weight, code point and case of each byte of the page pair.
uint64_t SingleByteDigest(const TOemCollation& collation) {
    uint64_t digest = 0xcbf29ce484222325u;
    for (unsigned flags : {kCaseSensitive, kCompareIgnoreCase}) {
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 256; ++y) {
                const char a = static_cast<char>(x);
                const char b = static_cast<char>(y);
                digest ^= static_cast<uint64_t>(collation.Compare({&a, 1}, {&b, 1}, flags, -1) + 1);
                digest *= 0x100000001b3u;
            }
        }
    }
    return digest;
}

// Recorded from the comparison that converted each text to ANSI before collating it.
TEST(OemCollation, EverySingleBytePairKeepsItsRecordedOrder) {
    struct Case {
        int oem, ansi;
        uint64_t digest;
    };
    const Case cases[] = {
        {866, 1251, 0x631125527f2a1d99u}, {437, 1252, 0x7b497ddc74cef74du},
        {850, 1252, 0x7ea0eb35c09d97a9u}, {20866, 1251, 0x2abb351b94910b1bu},
        {866, 1252, 0x52236076f9ec62f9u}, {437, 1251, 0x081a4a187d8e8719u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SingleByteDigest(TOemCollation(c.oem, c.ansi)), c.digest)
            << c.oem << '/' << c.ansi;
    }
}

// Each call follows the pages of the environment; a collation keeps those it was built with.
TEST(OemCollation, EachCallFollowsThePagesOfTheEnvironment) {
    // CP866: A / a, ye / yo, A / BE (neither in CP1252). CP437: C-cedilla / a-acute, n-tilde /
    // plus-minus, C-cedilla / u-umlaut.
    const std::pair<std::string_view, std::string_view> probes[] = {
        {"\x80", "\xA0"}, {"\xA5", "\xF1"}, {"\x80", "\x81"}};
    struct Case {
        int oem, ansi;
        int expected[std::size(probes)];
    };
    const Case cases[] = {
        {866, 1251, {0, -1, -1}},
        {437, 1252, {1, 1, -1}},
        {866, 1252, {0, 0, 0}},
        {866, 1251, {0, -1, -1}},  // and back
    };
    const TOemCollation built = [] {
        ScopedCodePages pages(866, 1251);
        return TOemCollation();
    }();
    for (const Case& c : cases) {
        ScopedCodePages pages(c.oem, c.ansi);
        for (size_t i = 0; i < std::size(probes); ++i) {
            EXPECT_EQ(CompareTextOem(probes[i].first, probes[i].second), c.expected[i])
                << c.oem << '/' << c.ansi << " probe " << i;
            EXPECT_EQ(built.CompareText(probes[i].first, probes[i].second), cases[0].expected[i]);
        }
    }
}

TEST(OemCollation, UnsupportedPagesAreRefused) {
    EXPECT_THROW(TOemCollation(866, 999), std::invalid_argument);
    EXPECT_THROW(TOemCollation(999, 1251), std::invalid_argument);
    EXPECT_EQ(TOemCollation(866, 1251).CompareText("A", "a"), 0);
}

}  // namespace
}  // namespace kestrova

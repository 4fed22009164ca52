#include "common/format_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrova {
namespace {

struct FormatCase {
    const char* format;
    std::vector<FormatArg> args;
    std::string expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class FormatTextTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTextTest, WritesExpectedText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatText(c.format, c.args), c.expected) << "format: " << c.format;
}

const char kText[] = "abc";

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormatTextTest,
    ::testing::Values(FormatCase{"plain", {}, "plain"}, FormatCase{"", {1}, ""},
                      FormatCase{"<%s>", {"text"}, "<text>"}, FormatCase{"<%s>", {'c'}, "<c>"},
                      FormatCase{"<%s>", {std::string("str")}, "<str>"},
                      FormatCase{"<%s>", {42}, "<>"},  // a number for a text writes the empty text
                      FormatCase{"<%5s>", {42}, "<     >"},
                      FormatCase{"<%s>", {static_cast<const void*>(kText)}, "<>"},
                      FormatCase{"<%d>", {-42}, "<-42>"}, FormatCase{"<%d>", {"text"}, "<>"},
                      FormatCase{"<%d>", {1234567890123LL}, "<1234567890123>"},
                      FormatCase{"<%x>", {255}, "<FF>"}, FormatCase{"<%8x>", {255}, "<000000FF>"},
                      FormatCase{"<%x>", {-1}, "<FFFFFFFF>"}, FormatCase{"<%x>", {0}, "<0>"},
                      FormatCase{"<%p>", {static_cast<const void*>(nullptr)}, "<00000000>"},
                      FormatCase{"<%4p>", {0x1234}, "<1234>"},
                      FormatCase{"<%p>", {0x123456789AB}, "<456789AB>"},
                      FormatCase{"<%q>", {1}, "<>"},        // unknown conversions write nothing
                      FormatCase{"<%q%d>", {1, 2}, "<2>"},  // ... but use their argument
                      FormatCase{"<%D>", {-5}, "<-5>"}, FormatCase{"<%4D>", {-5}, "<-005>"}));

INSTANTIATE_TEST_SUITE_P(
    Widths, FormatTextTest,
    ::testing::Values(
        FormatCase{"%2D", {7}, "07"}, FormatCase{"%2D", {2026}, "26"},
        FormatCase{"%2D", {123}, "23"}, FormatCase{"%4D", {1999}, "1999"},
        FormatCase{"%-5d|", {42}, "42   |"}, FormatCase{"%5d|", {42}, "   42|"},
        FormatCase{"%-4D|", {7}, "7   |"}, FormatCase{"%3s|", {"abcdef"}, "def|"},
        FormatCase{"%-6s|", {"ab"}, "ab    |"}, FormatCase{"%*d", {6, 42}, "    42"},
        FormatCase{"%-*d|", {4, 1}, "1   |"}, FormatCase{"%*d|", {-3, 1}, "1|"},
        FormatCase{"%*d|", {"x", 1}, "1|"},  // a width argument that is no number gives no width
        FormatCase{"%0d", {5}, "5"}, FormatCase{"%99999999999d|", {5}, "5|"},
        FormatCase{"%-d", {5}, "5"}));

INSTANTIATE_TEST_SUITE_P(
    Arguments, FormatTextTest,
    ::testing::Values(FormatCase{"%d %d", {1}, "1 "}, FormatCase{"%s", {}, ""},
                      FormatCase{"100%%", {}, "100%"}, FormatCase{"%%%d", {3}, "%3"},
                      FormatCase{
                          "%5%%d", {3}, "%3"},  // a width before the second % changes nothing
                      FormatCase{"%*d", {}, ""},
                      FormatCase{"%*d%d", {6}, ""},  // * uses an argument in any case
                      FormatCase{"%s-%s-%s", {"a", "b"}, "a-b-"}, FormatCase{"end%", {1}, "end"},
                      FormatCase{"end%-", {1}, "end"}, FormatCase{"end%12", {1}, "end"},
                      FormatCase{"%s%", {"x"}, "x"}));

TEST(FormatTextWidth, HugeWidthIsCapped) {
    EXPECT_EQ(FormatText("%2000000000d", {1}).size(), kMaxFormatWidth);
    EXPECT_EQ(FormatText("%*d", {2000000000, 1}).size(), kMaxFormatWidth);
}

}  // namespace
}  // namespace kestrova

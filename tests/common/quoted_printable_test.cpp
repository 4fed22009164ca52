#include "common/quoted_printable.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

struct QpCase {
    const char* text;
    std::string decoded;
};

class DecodeQuotedPrintableTest : public testing::TestWithParam<QpCase> {};

TEST_P(DecodeQuotedPrintableTest, Decodes) {
    EXPECT_EQ(DecodeQuotedPrintable(GetParam().text), GetParam().decoded) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeQuotedPrintableTest,
    testing::Values(QpCase{"plain text", "plain text"}, QpCase{"a=3Db", "a=b"},
                    QpCase{"=3d", "="},            // either letter case
                    QpCase{"=E0=e1", "\xE0\xE1"},  // bytes above 127
                    QpCase{"a=ZZb", "a=ZZb"},      // not hexadecimal: kept
                    QpCase{"a=3Gb", "a=3Gb"}, QpCase{"a=G3", "a=G3"},
                    QpCase{"a=3", "a"},                           // incomplete at the end: dropped
                    QpCase{"a=", "a"}, QpCase{"a=4=41", "a=4A"},  // a new "=" flushes the old one
                    QpCase{"==41", "=A"}, QpCase{"line=\r\nnext", "linenext"},  // soft line breaks
                    QpCase{"line=\nnext", "linenext"},
                    QpCase{"line=\rnext", "line=\rnext"},  // a lone CR is no line break
                    QpCase{"a_b", "a_b"}, QpCase{"=00x", std::string("\0x", 2)}));

TEST(DecodeQEncodedText, UnderscoreIsABlankButAnEncodedUnderscoreIsNot) {
    EXPECT_EQ(DecodeQEncodedText("Hello_w=6Frld=5F!"), "Hello world_!");
    EXPECT_EQ(DecodeQEncodedText("=_x"), "= x");
}

}  // namespace
}  // namespace kestrova

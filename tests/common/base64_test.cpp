#include "common/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova {
namespace {

struct Base64Case {
    std::string bytes;
    const char* text;
};

class Base64Test : public testing::TestWithParam<Base64Case> {};

TEST_P(Base64Test, EncodesAndDecodes) {
    EXPECT_EQ(Base64Encode(GetParam().bytes), GetParam().text);
    EXPECT_EQ(Base64Decode(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Vectors, Base64Test,
                         testing::Values(Base64Case{"", ""}, Base64Case{"a", "YQ=="},
                                         Base64Case{"ab", "YWI="}, Base64Case{"abc", "YWJj"},
                                         Base64Case{"foobar", "Zm9vYmFy"},
                                         Base64Case{"fooba", "Zm9vYmE="},
                                         Base64Case{std::string("\0\xFF\xFE\x80", 4), "AP/+gA=="},
                                         Base64Case{"\xFB\xFF\xBF", "+/+/"}));

TEST(Base64, RoundTripsEveryByteValue) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    for (size_t length = 0; length <= bytes.size(); length += 37) {
        const std::string part = bytes.substr(0, length);
        const std::string text = Base64Encode(part);
        EXPECT_EQ(text.size() % 4, 0u);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(Base64Decode(text), part);
    }
}

TEST(Base64Decode, SkipsCharactersOutsideTheAlphabet) {
    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"Zm9v\r\nYmFy\r\n", "foobar"},  // line breaks
        {" Zm 9v\tYm Fy ", "foobar"},    // blanks
        {"Zm9v!YmFy~", "foobar"},        // characters next to the table's ends
        {"Zm9v\x80\xFFYmFy", "foobar"},  // bytes above 127
        {"YQ==YQ==", "a\x06\x10"},       // inner padding is skipped like any junk
        {"YQ", "a"},                     // padding may be missing
        {"Y", ""},                       // six bits make no byte
        {"====", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
}

}  // namespace
}  // namespace kestrova

#include "common/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace kestrova {
namespace {

// Padding for every remainder, both ends of the alphabet, bytes above 127.
TEST(Base64, EncodesAndDecodes) {
    const std::pair<std::string, const char*> cases[] = {
        {"", ""},
        {"a", "YQ=="},
        {"ab", "YWI="},
        {"abc", "YWJj"},
        {"fooba", "Zm9vYmE="},
        {std::string("\0\xFF\xFE\x80", 4), "AP/+gA=="},
        {"\xFB\xFF\xBF", "+/+/"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(Base64Encode(bytes), text);
        EXPECT_EQ(Base64Decode(text), bytes);
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

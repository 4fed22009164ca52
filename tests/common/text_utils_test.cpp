#include "common/text_utils.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/visible_text.h"
#include "platform/scoped_environment.h"

namespace kestrova {
namespace {

// Text, separator, word number, its position, the word, and the text's count of words.
TEST(Words, PositionExtractionAndCount) {
    const std::tuple<std::string, char, int, int, std::string, int> cases[] = {
        {"a,,b,c", ',', 2, 4, "b", 3},
        {"a,,b,c", ',', 3, 6, "c", 3},
        {",,a,,b", ',', 1, 3, "a", 2},
        {",,a,,b", ',', 2, 6, "b", 2},
        {",,a,,b", ',', 3, 0, "", 2},
        {"a", ',', 1, 1, "a", 1},
        {"a b", ' ', 5, 0, "", 2},
        {"a b", ' ', 0, 0, "", 2},
        {"a b", ' ', -1, 0, "", 2},
        {"", ',', 1, 0, "", 0},
        {",,,", ',', 1, 0, "", 0},
        {"one two ", ' ', 2, 5, "two", 2},
        {std::string(",\0,x", 4), ',', 1, 4, "x", 1},  // a NUL does not start a word
    };
    for (const auto& [text, separator, n, position, word, count] : cases) {
        EXPECT_EQ(WordPosition(n, text, separator), position) << text << " #" << n;
        EXPECT_EQ(ExtractWord(n, text, separator), word) << text << " #" << n;
        EXPECT_EQ(WordCount(text, separator), count) << text;
    }
}

TEST(Trim, RemovesSpacesOnly) {
    struct Case {
        std::string text, left, right, both;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"   ", "", "", ""},
        {"  a b  ", "a b  ", "  a b", "a b"},
        {"\t a \t", "\t a \t", "\t a \t", "\t a \t"},
        {" \ta", "\ta", " \ta", "\ta"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimLeft(c.text), c.left) << '[' << c.text << ']';
        EXPECT_EQ(TrimRight(c.text), c.right) << '[' << c.text << ']';
        EXPECT_EQ(Trim(c.text), c.both) << '[' << c.text << ']';
    }
}

TEST(Text, BlankAndReplace) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(std::string(" \t\0 ", 4)));
    EXPECT_FALSE(IsBlank(" \r "));
    EXPECT_FALSE(IsBlank("  x"));
    EXPECT_EQ(ReplaceChar("a\\b\\c", '\\', '/'), "a/b/c");
    EXPECT_EQ(ReplaceChar("aaa", 'a', 'a'), "aaa");
}

TEST(VisibleText, ControlCharactersBecomeSpacesOrCaretsAndTheRestStays) {
    struct Case {
        const char* oemCodePage;
        std::string text, shown;
    };
    const Case cases[] = {
        {"866", "a\x1b]0;owned\x07z", "a^[]0;owned^Gz"},  // OSC: the terminal's title
        {"866", "\x1b[2J\x1b[31mred", "^[[2J^[[31mred"},  // CSI: clear, colour
        {"866", "Re: a\r\nFrom: forged\tb", "Re: a  From: forged b"},
        {"866", std::string("nul\0del\x7f\x1f", 9), "nul^@del^?^_"},
        {"866", "eight by\x7fte words", "eight by^?te words"},  // in the 2nd eight bytes
        {"866", "a longer subject\x1b[0m and", "a longer subject^[[0m and"},
        // Cyrillic in CP866 and ISO 8859-5: the same bytes are letters in one, C1 in the other
        {"866", "\x8F\xE0\xA8 \x9B\x80\x9F", "\x8F\xE0\xA8 \x9B\x80\x9F"},
        {"28595", "\x9Bx\x80 \xBF\xE0", "M-^[xM-^@ \xBF\xE0"},
        {"1252", "\x80\x9B\xE9", "\x80\x9B\xE9"},
        // UTF-8: a C1 control is two bytes; letters that hold the same bytes stay
        {"65001", "Привет \u009B[2J 中\u0080", "Привет M-^[[2J 中M-^@"},
        {"65001", "\xD0\x9B\xC2", "\xD0\x9B\xC2"},
    };
    for (const Case& c : cases) {
        ScopedEnvironment environment;
        environment.Set("KESTROVA_OEMCP", c.oemCodePage);
        EXPECT_EQ(VisibleText(c.text), c.shown) << c.oemCodePage << ": " << c.text;
        std::string scratch;
        EXPECT_EQ(VisibleView(c.text, scratch), c.shown) << c.oemCodePage << ": " << c.text;
    }
}

}  // namespace
}  // namespace kestrova
